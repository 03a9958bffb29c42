// SPDX-License-Identifier: MIT
// The tree over the real namespace: opened at a temporary folder, it shows
// what another program then makes, renames and removes there.

#include "shell/tree/StShellTreeModel.h"
#include "shell/tree/StShellTreeView.h"
#include "tests/support/IsolatedRun.h"
#include "tests/support/qt/EventLoopWaiting.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

std::vector<std::string> childTexts(const TStShellTreeView& tree, const std::string& path)
{
    std::vector<std::string> texts;
    if (const TStTreeNode* node = tree.NodeByPath(path))
        for (const auto& child : node->children)
            texts.push_back(tree.Model().TextOf(*child));
    return texts;
}

// Another program changes the folder, as a user's shell would.
void run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    ASSERT_TRUE(process.waitForFinished(10000));
    ASSERT_EQ(process.exitCode(), 0);
}

} // namespace

TEST(TreeLive, FollowsFoldersMadeRenamedAndRemovedByAnotherProgram)
{
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    QDir(dir.path()).mkpath(QStringLiteral("calendars/2025"));
    TStShellTreeView tree;
    tree.SetRootFolder(root); // a busy /tmp would flood the tree's queue
    tree.show();
    tree.OpenAtPath(root + "/calendars");
    ASSERT_EQ(childTexts(tree, root + "/calendars"), std::vector<std::string>{"2025"});
    tree.expand(tree.Model().IndexOf(tree.NodeByPath(root + "/calendars")));

    run(QStringLiteral("mkdir"), {dir.path() + QStringLiteral("/calendars/2026")});
    dw::test::processEventsUntil([&] { return childTexts(tree, root + "/calendars").size() == 2; });
    EXPECT_EQ(childTexts(tree, root + "/calendars"), (std::vector<std::string>{"2025", "2026"}));

    run(QStringLiteral("mv"), {dir.path() + QStringLiteral("/calendars/2025"), dir.path() + QStringLiteral("/calendars/Old")});
    dw::test::processEventsUntil([&] { return childTexts(tree, root + "/calendars").back() == "Old"; });
    EXPECT_EQ(childTexts(tree, root + "/calendars"), (std::vector<std::string>{"2026", "Old"}));

    run(QStringLiteral("rmdir"), {dir.path() + QStringLiteral("/calendars/2026")});
    dw::test::processEventsUntil([&] { return childTexts(tree, root + "/calendars").size() == 1; });
    EXPECT_EQ(childTexts(tree, root + "/calendars"), std::vector<std::string>{"Old"});
}

TEST(TreeLive, AFolderThatCannotBeReadLosesItsButtonAndSaysWhy)
{
    if (dw::test::RanAsOrdinaryUser())
        return; // root reads every folder
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("locked/inner"));
    QFile::setPermissions(dir.path() + QStringLiteral("/locked"), QFileDevice::Permissions());
    TStShellTreeView tree;
    tree.show();
    tree.OpenAtPath(dir.path().toStdString());
    const TStTreeNode* locked = tree.NodeByPath(dir.path().toStdString() + "/locked");
    ASSERT_TRUE(locked);
    EXPECT_FALSE(tree.Model().hasChildren(tree.Model().IndexOf(locked)));
    EXPECT_EQ(tree.Model().data(tree.Model().IndexOf(locked), Qt::ToolTipRole).toString(),
              QStringLiteral("Permission denied"));
    QFile::setPermissions(dir.path() + QStringLiteral("/locked"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// Converting the calendars of a folder writes a hidden new file beside each
// and renames it over the calendar: a folder without subfolders must not
// gain an expand button from that.
TEST(TreeLive, ConvertingTheCalendarsOfAFolderGivesItNoExpandButton)
{
    QTemporaryDir dir;
    const QString calendars = dir.path() + QStringLiteral("/calendars");
    QDir().mkpath(calendars);
    for (int i = 0; i < 40; ++i) {
        QFile file(calendars + QStringLiteral("/cal%1.dw2").arg(i));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<datewright>\n");
    }
    TStShellTreeView tree;
    tree.SetRootFolder(dir.path().toStdString());
    tree.SetOptions({toExpandTopNode, toShellMenu, toShowHidden}); // as the window has it
    tree.show();
    tree.OpenAtPath(calendars.toStdString());
    const TStTreeNode* node = tree.NodeByPath(calendars.toStdString());
    ASSERT_TRUE(node);
    ASSERT_FALSE(tree.Model().hasChildren(tree.Model().IndexOf(node)));

    for (int i = 0; i < 40; ++i) {
        const QString name = calendars + QStringLiteral("/cal%1.dw2").arg(i);
        const QString fresh = calendars + QStringLiteral("/.cal%1.dw2.new.Xy12Ab").arg(i);
        QFile file(fresh);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<datewright>\nEventAlign=0\n");
        file.close();
        ASSERT_EQ(::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(name).constData()), 0);
    }
    dw::test::processEventsUntil([&] { return false; }, 0, 600);
    dw::test::processEventsUntil([&] { return !tree.IsLoading(); }, 5000);
    node = tree.NodeByPath(calendars.toStdString());
    ASSERT_TRUE(node);
    EXPECT_FALSE(tree.Model().hasChildren(tree.Model().IndexOf(node)));
}
