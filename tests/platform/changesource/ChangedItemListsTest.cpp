// SPDX-License-Identifier: MIT
// The lists of changed items, made from kept folder lists, are the very
// lists the namespace parses, so that views find the items they show.
#include "platform/changesource/ChangedItemLists.h"

#include "platform/changesource/MountedTable.h"
#include "platform/namespace/ShellNamespace.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace dw::platform {
namespace {

namespace fs = std::filesystem;

class ChangedItemListsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp_.isValid());
        base_ = fs::canonical(temp_.path().toStdString()).string();
        fs::create_directories(base_ + "/a/b");
        fs::create_directories(base_ + "/other/b");
        std::ofstream(base_ + "/a/b/cal.dw2").close();
        fs::create_directory_symlink(base_ + "/a", base_ + "/link");
        fs::create_symlink(base_ + "/nowhere", base_ + "/a/dangling");
        std::vector<std::string> mountPoints;
        const MountedTable table = MountedTable::read("/proc/self/mounts", "/sys/block");
        for (const auto& volume : table.volumes())
            mountPoints.push_back(volume.mountPoint);
        std::sort(mountPoints.begin(), mountPoints.end());
        lists_.setVolumeMountPoints(mountPoints);
    }

    void expectParsedList(const std::string& path, bool isFolder)
    {
        IdListPtr parsed = parsingNameToIdList(path);
        ASSERT_TRUE(parsed) << path;
        IdListPtr made = lists_.itemList(path, isFolder);
        EXPECT_TRUE(made && ILIsEqual(made.get(), parsed.get())) << path;
    }

    QTemporaryDir temp_;
    std::string base_;
    ChangedItemLists lists_;
};

TEST_F(ChangedItemListsTest, ListsOfExistingItemsAreTheOnesTheDesktopParses)
{
    for (int round = 0; round < 2; ++round) { // made, then from what was kept
        expectParsedList(base_ + "/a/b/cal.dw2", false);
        expectParsedList(base_ + "/a/b", true);
        expectParsedList(base_ + "/link", true);
        expectParsedList(base_ + "/link/b/cal.dw2", false);
        expectParsedList(base_ + "/a/dangling", false);
        expectParsedList("/", true);
    }
    EXPECT_GE(lists_.keptFolderCount(), 3u);
}

TEST_F(ChangedItemListsTest, ItemsThatAreGoneKeepTheListTheyHad)
{
    for (const bool isFolder : {false, true}) {
        IdListPtr made = lists_.itemList(base_ + "/a/b/gone", isFolder);
        IdListPtr climbed = changedPathIdList(base_ + "/a/b/gone", isFolder);
        ASSERT_TRUE(made && climbed);
        EXPECT_TRUE(ILIsEqual(made.get(), climbed.get()));
    }
    IdListPtr deep = lists_.itemList(base_ + "/a/missing/deeper/gone.dw2", false);
    EXPECT_EQ(idListToParsingName(deep.get()), base_ + "/a/missing/deeper/gone.dw2");
    IdListPtr climbed = changedPathIdList(base_ + "/a/missing/deeper/gone.dw2", false);
    EXPECT_TRUE(deep && ILIsEqual(deep.get(), climbed.get()));
}

TEST_F(ChangedItemListsTest, MountPointIsAFolderOfItsParentWithoutBeingLookedAt)
{
    IdListPtr parsed = parsingNameToIdList(base_ + "/a");
    IdListPtr made = lists_.mountPointList(base_ + "/a");
    EXPECT_TRUE(made && ILIsEqual(made.get(), parsed.get()));
    IdListPtr unreachable = lists_.mountPointList(base_ + "/not-there");
    ASSERT_TRUE(unreachable);
    EXPECT_EQ(idListToParsingName(unreachable.get()), base_ + "/not-there");
}

TEST_F(ChangedItemListsTest, AFolderReplacedIsSeenAsItIsNowOnceForgotten)
{
    expectParsedList(base_ + "/a/b/cal.dw2", false);
    // The folder becomes a link to another one (its id now says so).
    fs::rename(base_ + "/a/b", base_ + "/old-b");
    fs::create_directory_symlink(base_ + "/other/b", base_ + "/a/b");
    std::ofstream(base_ + "/other/b/cal.dw2").close();
    lists_.forgetTree(base_ + "/a/b");
    expectParsedList(base_ + "/a/b/cal.dw2", false);
    expectParsedList(base_ + "/a/b", true);
}

} // namespace
} // namespace dw::platform
