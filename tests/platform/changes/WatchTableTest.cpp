// SPDX-License-Identifier: MIT
#include "platform/changes/filewatch/WatchTable.h"

#include <gtest/gtest.h>

namespace dw::platform {
namespace {

TEST(WatchTableTest, RemovingATreeReturnsWatchesLeftWithoutPaths)
{
    WatchTable table;
    table.add(1, "/w");
    table.add(2, "/w/a");
    table.add(3, "/w/a/b");
    table.add(4, "/w/ab"); // a sibling whose name starts like "a"
    table.add(3, "/w/link-to-b");

    auto orphaned = table.removeTree("/w/a");
    std::sort(orphaned.begin(), orphaned.end());
    EXPECT_EQ(orphaned, std::vector<int>({2})) << "watch 3 still stands for /w/link-to-b";
    EXPECT_TRUE(table.isWatched("/w/ab"));
    EXPECT_FALSE(table.isWatched("/w/a/b"));
    EXPECT_EQ(table.pathsOf(3), std::vector<std::string>({"/w/link-to-b"}));
}

TEST(WatchTableTest, RenamingATreeMovesEveryPathBelowIt)
{
    WatchTable table;
    table.add(1, "/w");
    table.add(2, "/w/old");
    table.add(3, "/w/old/sub");
    table.renameTree("/w/old", "/w/new");

    EXPECT_EQ(table.watchOf("/w/new"), 2);
    EXPECT_EQ(table.watchOf("/w/new/sub"), 3);
    EXPECT_FALSE(table.isWatched("/w/old/sub"));
    EXPECT_EQ(table.pathsOf(3), std::vector<std::string>({"/w/new/sub"}));
}

TEST(WatchTableTest, RootsAreWatchedFoldersWithoutWatchedParent)
{
    WatchTable table;
    table.add(1, "/w");
    table.add(2, "/w/a");
    table.add(3, "/x/y");
    EXPECT_EQ(table.roots(), std::vector<std::string>({"/w", "/x/y"}));
    table.removeWatch(1);
    EXPECT_EQ(table.roots(), std::vector<std::string>({"/w/a", "/x/y"}));
}

TEST(WatchTableTest, RootFolderOfTheFileSystemCoversEverything)
{
    WatchTable table;
    table.add(1, "/");
    table.add(2, "/etc");
    EXPECT_EQ(table.removeTree("/").size(), 2u);
    EXPECT_EQ(table.pathCount(), 0u);
}

} // namespace
} // namespace dw::platform
