// SPDX-License-Identifier: MIT
// The list over a real namespace in a temporary home: it follows what
// another program does in the shown folder, moves the selection to the
// trash, carries several items out in a drag, and takes drops the way the
// tree does (a free name for a name in use, the original left in place).

#include "NamespaceFixture.h"

#include "platform/dragdata/IdListArray.h"
#include "platform/fileops/DropTarget.h"
#include "platform/namespace/IdRecord.h"
#include "shell/dragdrop/StDataObject.h"
#include "shell/list/StListColumns.h"
#include "shell/list/StShellListModel.h"
#include "shell/list/StShellListView.h"
#include "tests/support/qt/EventLoopWaiting.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

using namespace dw::platform;
using namespace dw::platform::testing;

namespace {

class AnswersRecorded : public IShellUi {
public:
    std::vector<std::string> errors;
    bool confirm(const std::string&, const std::string&) override { return true; }
    void showError(const std::string&, const std::string& message) override { errors.push_back(message); }
    bool askText(const std::string&, const std::string&, std::string&) override { return false; }
    void copyText(const std::string&) override {}
    bool chooseApplication(const std::string&, std::vector<std::string>&) override { return false; }
    void showProperties(const std::vector<std::string>&) override {}
};

class ListDiskTest : public ::testing::Test {
protected:
    TempNamespace ns;
    std::string folder = ns.makeFolder("home/Calendars");
    AnswersRecorded ui;
    TStShellListView list;

    void SetUp() override
    {
        savedHome_ = std::getenv("HOME") ? std::getenv("HOME") : "";
        ::setenv("HOME", ns.home.c_str(), 1); // Move to Trash finds the home trash here
        ns.makeFile("home/Calendars/a.dw2", "aaa");
        ns.makeFile("home/Calendars/b.dw2", "bbbbbb");
        ns.makeFolder("home/Calendars/Inner");
        list.GetController()->SetShellUi(&ui);
        list.resize(600, 400);
        list.show();
        showFolder(folder);
    }
    void TearDown() override { ::setenv("HOME", savedHome_.c_str(), 1); }

    void showFolder(const std::string& path)
    {
        list.SetPath(path);
        dw::test::processEventsUntil([&] { return !list.IsLoading(); }, 5000, 0);
    }

    // The rows as "name size" (no size for folders), in the order shown.
    std::vector<std::string> rows() const
    {
        std::vector<std::string> texts;
        for (int row = 0; row < list.GetItemCount(); ++row) {
            const auto& record = list.Model().RecordAt(row);
            texts.push_back(record.displayName + (IsFolderRecord(record) ? "" : " " + std::to_string(record.file ? record.file->size : 0)));
        }
        return texts;
    }
    // The same read from the disk, sorted as the list sorts by name here.
    std::vector<std::string> disk(const std::string& path) const
    {
        std::vector<std::string> folders;
        std::vector<std::string> files;
        const QFileInfoList entries = QDir(QString::fromStdString(path))
                                          .entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo& entry : entries) {
            if (entry.isDir())
                folders.push_back(entry.fileName().toStdString());
            else
                files.push_back(entry.fileName().toStdString() + " " + std::to_string(entry.size()));
        }
        folders.insert(folders.end(), files.begin(), files.end());
        return folders;
    }
    void run(const QString& program, const QStringList& arguments)
    {
        QProcess process;
        process.setWorkingDirectory(QString::fromStdString(folder));
        process.start(program, arguments);
        ASSERT_TRUE(process.waitForFinished(5000)) << program.toStdString();
        ASSERT_EQ(process.exitCode(), 0) << program.toStdString();
    }
    void select(const std::vector<std::string>& names)
    {
        QItemSelectionModel* selection = list.CurrentView()->selectionModel();
        selection->clearSelection();
        for (const std::string& name : names) {
            const int row = list.Model().RowOfPath(folder + "/" + name);
            ASSERT_GE(row, 0) << name;
            selection->select(list.Model().index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }

    // Enters the list, moves to `at` and drops there; whether it was taken.
    bool dragAndDrop(QMimeData& data, QPoint at, Qt::DropAction action = Qt::CopyAction)
    {
        QWidget* viewport = list.CurrentView()->viewport();
        QDragEnterEvent enter(at, action, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        if (!enter.isAccepted())
            return false;
        bool accepted = false;
        dw::test::processEventsUntil([&] {
            QDragMoveEvent move(at, action, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(viewport, &move);
            accepted = move.isAccepted();
            return accepted;
        }, 1000, 0);
        if (!accepted) {
            QDragLeaveEvent leave;
            QApplication::sendEvent(viewport, &leave);
            return false;
        }
        QDropEvent drop(QPointF(at), action, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &drop);
        return drop.isAccepted();
    }
    QPoint emptyPlace() const
    {
        const QWidget* viewport = list.CurrentView()->viewport();
        return {viewport->width() / 2, viewport->height() - 5};
    }
    QPoint rowPlace(const std::string& name) const
    {
        const QModelIndex index = list.Model().index(list.Model().RowOfPath(folder + "/" + name), 0);
        return list.CurrentView()->visualRect(index).center();
    }
    std::unique_ptr<TStDataObject> dataOf(const std::string& path)
    {
        const TStShellItem item(parsingNameToIdList(path).get(), list.GetController());
        return std::make_unique<TStDataObject>(item);
    }

private:
    std::string savedHome_;
};

} // namespace

TEST_F(ListDiskTest, WhatAnotherProgramDoesInTheFolderShowsAsOnTheDisk)
{
    ASSERT_EQ(rows(), disk(folder));
    run(QStringLiteral("touch"), {QStringLiteral("c.dw2")});
    run(QStringLiteral("rm"), {QStringLiteral("a.dw2")});
    run(QStringLiteral("mv"), {QStringLiteral("b.dw2"), QStringLiteral("0 b.dw2")});
    run(QStringLiteral("truncate"), {QStringLiteral("-s"), QStringLiteral("70000"), QStringLiteral("c.dw2")});
    run(QStringLiteral("mkdir"), {QStringLiteral("New folder")});
    dw::test::processEventsUntil([&] { return rows() == disk(folder); }, 5000, 20);
    EXPECT_EQ(rows(), disk(folder));
    EXPECT_EQ(rows(), (std::vector<std::string>{"Inner", "New folder", "0 b.dw2 6", "c.dw2 70000"}));
}

TEST_F(ListDiskTest, DeleteMovesTheSelectionToTheTrash)
{
    select({"a.dw2", "Inner"});
    QTest::keyClick(list.CurrentView(), Qt::Key_Delete);
    dw::test::processEventsUntil([&] { return list.GetItemCount() == 1; }, 5000, 0);
    EXPECT_EQ(rows(), std::vector<std::string>{"b.dw2 6"});
    EXPECT_TRUE(ui.errors.empty()) << ui.errors.front();
    EXPECT_TRUE(std::filesystem::exists(ns.trash + "/files/a.dw2"));
    EXPECT_TRUE(std::filesystem::is_directory(ns.trash + "/files/Inner"));
    EXPECT_TRUE(std::filesystem::exists(ns.trash + "/info/a.dw2.trashinfo"));
}

TEST_F(ListDiskTest, DraggingSeveralItemsOutCarriesOneParentAndEachChild)
{
    select({"a.dw2", "b.dw2", "Inner"});
    unsigned effects = 0;
    const std::unique_ptr<TStDataObject> data = list.SelectionDragData(effects);
    ASSERT_TRUE(data);
    EXPECT_NE(effects & DROPEFFECT_MOVE, 0u);
    const QByteArray block = data->data(TStDataObject::IdListArrayMimeType());
    const auto decoded = decodeIdListArray(std::string_view(block.constData(), block.size()), validateNamespaceIdList);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->children.size(), 3u);
    std::vector<std::string> paths;
    for (const IdListPtr& absolute : decoded->absoluteLists())
        paths.push_back(idListToParsingName(absolute.get()));
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string>{folder + "/Inner", folder + "/a.dw2", folder + "/b.dw2"}));
    EXPECT_EQ(data->urls().size(), 3);
    EXPECT_EQ(data->text().count(QLatin1Char('\n')) + 1, 3);

    list.CurrentView()->clearSelection();
    EXPECT_FALSE(list.SelectionDragData(effects));
}

TEST_F(ListDiskTest, DropsTakeAFreeNameGoIntoAFolderRowAndNeverIntoThemselves)
{
    const std::string outside = ns.makeFile("home/a.dw2", "dropped");
    auto data = dataOf(outside);
    ASSERT_TRUE(dragAndDrop(*data, emptyPlace()));
    dw::test::processEventsUntil([&] { return rows().size() == 4; }, 5000, 0);
    EXPECT_EQ(rows(), (std::vector<std::string>{"Inner", "a (2).dw2 7", "a.dw2 3", "b.dw2 6"}));
    EXPECT_TRUE(std::filesystem::exists(outside)); // copied, not moved

    ASSERT_TRUE(dragAndDrop(*data, rowPlace("Inner"), Qt::MoveAction));
    dw::test::processEventsUntil([&] { return !std::filesystem::exists(outside); }, 5000, 0);
    EXPECT_TRUE(std::filesystem::exists(folder + "/Inner/a.dw2"));

    auto inner = dataOf(folder + "/Inner");
    EXPECT_FALSE(dragAndDrop(*inner, rowPlace("Inner"), Qt::MoveAction));
    dw::test::processEventsUntil([] { return false; }, 0, 100);
    EXPECT_EQ(disk(folder + "/Inner"), std::vector<std::string>{"a.dw2 7"});
}
