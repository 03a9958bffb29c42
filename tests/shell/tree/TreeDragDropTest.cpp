// SPDX-License-Identifier: MIT
// Drops on the tree's nodes, for real on temporary folders: what another
// program's data carries is checked before anything is done, a name in use
// gets a free variant, a folder never goes into itself, and a hovered closed
// node opens after the expand interval.

#include "shell/dragdrop/StDataObject.h"
#include "shell/items/StShellFolder.h"
#include "shell/tree/StShellTreeModel.h"
#include "shell/tree/StShellTreeView.h"
#include "tests/support/qt/EventLoopWaiting.h"

#include "platform/namespace/ShellNamespace.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QMimeData>
#include <QScrollBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class TreeDragDropTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::string root = dir.path().toStdString();
    TStShellTreeView tree;

    void SetUp() override
    {
        QDir(dir.path()).mkpath(QStringLiteral("target/inner"));
        QDir(dir.path()).mkpath(QStringLiteral("source"));
        QFile(dir.path() + QStringLiteral("/target/x.dw2")).open(QIODevice::WriteOnly);
        QFile source(dir.path() + QStringLiteral("/source/x.dw2"));
        source.open(QIODevice::WriteOnly);
        source.write("dropped");
        source.close();
        // Rooted in the temporary folder: nodes of a busy /tmp would move
        // under the cursor.
        tree.SetRootFolder(root);
        tree.resize(400, 600);
        tree.show();
        tree.OpenAtPath(root + "/target");
    }

    QPoint pointOf(const std::string& path)
    {
        const QModelIndex index = tree.Model().IndexOf(tree.NodeByPath(path));
        tree.scrollTo(index);
        dw::test::processEventsUntil([] { return false; }, 0, 20); // the view lays itself out
        return tree.visualRect(index).center();
    }

    // Enters, moves to `path`'s node and drops there; whether it was taken.
    bool dragAndDrop(QMimeData& data, const std::string& path, Qt::DropAction action = Qt::CopyAction)
    {
        const QPoint at = pointOf(path);
        QDragEnterEvent enter(at, action, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(tree.viewport(), &enter);
        if (!enter.isAccepted())
            return false;
        // The target answers once it has looked at the disk, off this thread.
        bool accepted = false;
        dw::test::processEventsUntil([&] {
            QDragMoveEvent move(at, action, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(tree.viewport(), &move);
            accepted = move.isAccepted();
            return accepted;
        }, 1000, 0);
        if (!accepted)
            return false;
        QDropEvent drop(QPointF(at), action, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(tree.viewport(), &drop);
        return drop.isAccepted();
    }

    std::unique_ptr<TStDataObject> dataOf(const std::string& path) const
    {
        const TStShellItem item(dw::platform::parsingNameToIdList(path).get(), tree.GetController());
        return std::make_unique<TStDataObject>(item);
    }

    QStringList names(const QString& relative) const
    {
        return QDir(dir.path() + relative).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    }
};

} // namespace

TEST_F(TreeDragDropTest, ADroppedFileTakesAFreeNameAndTheOriginalStays)
{
    auto data = dataOf(root + "/source/x.dw2");
    ASSERT_TRUE(dragAndDrop(*data, root + "/target"));
    dw::test::processEventsUntil([&] { return names(QStringLiteral("/target")).size() == 3; }, 5000);
    EXPECT_EQ(names(QStringLiteral("/target")), (QStringList{"inner", "x (2).dw2", "x.dw2"}));
    EXPECT_EQ(names(QStringLiteral("/source")), QStringList{"x.dw2"});
    QFile copied(dir.path() + QStringLiteral("/target/x (2).dw2"));
    ASSERT_TRUE(copied.open(QIODevice::ReadOnly));
    EXPECT_EQ(copied.readAll(), "dropped");
}

TEST_F(TreeDragDropTest, AFolderIsNeverDroppedIntoItself)
{
    auto data = dataOf(root + "/target");
    EXPECT_FALSE(dragAndDrop(*data, root + "/target/inner", Qt::MoveAction));
    EXPECT_FALSE(dragAndDrop(*data, root + "/target", Qt::MoveAction));
    dw::test::processEventsUntil([] { return false; }, 0, 100);
    EXPECT_EQ(names(QStringLiteral("/target/inner")), QStringList{});
}

TEST_F(TreeDragDropTest, DragDataThatDoesNotReadIsRefused)
{
    QMimeData broken;
    broken.setData(TStDataObject::IdListArrayMimeType(), QByteArray("\x05\x00\x00\x00\xff\xff", 6));
    EXPECT_FALSE(dragAndDrop(broken, root + "/target"));
    QMimeData remote;
    remote.setData(QStringLiteral("text/uri-list"), "http://example.invalid/x.dw2\r\n");
    EXPECT_FALSE(dragAndDrop(remote, root + "/target"));
    dw::test::processEventsUntil([] { return false; }, 0, 100);
    EXPECT_EQ(names(QStringLiteral("/target")), (QStringList{"inner", "x.dw2"}));
}

TEST_F(TreeDragDropTest, AHoveredClosedNodeOpensAfterTheExpandInterval)
{
    QDir(dir.path()).mkpath(QStringLiteral("target/inner/deeper"));
    tree.RefreshNode(tree.NodeByPath(root + "/target"));
    tree.setCurrentIndex(tree.Model().IndexOf(tree.NodeByPath(root + "/target")));
    tree.SetExpandInterval(50);
    const QModelIndex inner = tree.Model().IndexOf(tree.NodeByPath(root + "/target/inner"));
    ASSERT_FALSE(tree.isExpanded(inner));
    auto data = dataOf(root + "/source/x.dw2");
    const QPoint at = pointOf(root + "/target/inner");
    QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tree.viewport(), &enter);
    dw::test::processEventsUntil([&] { return tree.isExpanded(inner); }, 2000);
    EXPECT_TRUE(tree.isExpanded(inner));
    QDragLeaveEvent leave;
    QApplication::sendEvent(tree.viewport(), &leave);
}

// Held still in the margin, the cursor keeps the tree scrolling, one node
// per pause, until it leaves.
TEST_F(TreeDragDropTest, HoldingTheCursorInTheMarginKeepsScrolling)
{
    for (int i = 0; i < 60; ++i)
        QDir(dir.path()).mkpath(QStringLiteral("target/sub%1").arg(i, 2, 10, QLatin1Char('0')));
    tree.RefreshNode(tree.NodeByPath(root + "/target"));
    dw::test::processEventsUntil([&] { return !tree.IsLoading(); });
    tree.resize(300, 200);
    tree.scrollToTop();
    dw::test::processEventsUntil([] { return false; }, 0, 20);
    QScrollBar* bar = tree.verticalScrollBar();
    ASSERT_GT(bar->maximum(), 10);
    const int before = bar->value();

    auto data = dataOf(root + "/source/x.dw2");
    const QPoint nearBottom(tree.viewport()->width() / 2, tree.viewport()->height() - 5);
    QDragEnterEvent enter(nearBottom, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tree.viewport(), &enter);
    dw::test::processEventsUntil([&] { return bar->value() >= before + 5; }, 2000, 0);
    EXPECT_GE(bar->value(), before + 5);

    QDragLeaveEvent leave;
    QApplication::sendEvent(tree.viewport(), &leave);
    dw::test::processEventsUntil([] { return false; }, 0, 50);
    const int afterLeaving = bar->value();
    dw::test::processEventsUntil([] { return false; }, 0, 200);
    EXPECT_EQ(bar->value(), afterLeaving);
}
