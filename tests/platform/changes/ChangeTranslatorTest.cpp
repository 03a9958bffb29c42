// SPDX-License-Identifier: MIT
#include "platform/changes/filewatch/ChangeTranslator.h"

#include "platform/changes/ShellChangeEvents.h"

#include <gtest/gtest.h>

#include <sys/inotify.h>

namespace dw::platform {
namespace {

class ChangeTranslatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        table_.add(1, "/w");
        table_.add(2, "/w/sub");
        table_.add(3, "/w/sub/deeper");
    }

    static RawWatchEvent raw(int watch, std::uint32_t mask, std::string name, std::uint32_t cookie = 0)
    {
        return {watch, mask, cookie, std::move(name)};
    }

    WatchTable table_;
    ChangeTranslator translator_{table_};
};

TEST_F(ChangeTranslatorTest, MapsSimpleEventsToShellEvents)
{
    const auto batch = translator_.translate({
        raw(1, IN_CREATE | IN_ISDIR, "made"),
        raw(1, IN_CREATE, "file"),
        raw(1, IN_MODIFY, "file"),
        raw(1, IN_ATTRIB, "file"),
        raw(1, IN_DELETE, "file"),
        raw(1, IN_DELETE | IN_ISDIR, "made"),
    });
    const std::vector<PathChange> expected = {
        {SHCNE_MKDIR, "/w/made", "", true},      {SHCNE_CREATE, "/w/file", "", false},
        {SHCNE_UPDATEITEM, "/w/file", "", false}, {SHCNE_ATTRIBUTES, "/w/file", "", false},
        {SHCNE_DELETE, "/w/file", "", false},     {SHCNE_RMDIR, "/w/made", "", true},
    };
    EXPECT_EQ(batch.changes, expected);
}

TEST_F(ChangeTranslatorTest, PairedMoveIsOneRenameWithBothPaths)
{
    const auto batch = translator_.translate({
        raw(1, IN_MOVED_FROM, "a.dw2", 7),
        raw(2, IN_MOVED_TO, "b.dw2", 7),
    });
    ASSERT_EQ(batch.changes.size(), 1u);
    EXPECT_EQ(batch.changes[0], (PathChange{SHCNE_RENAMEITEM, "/w/a.dw2", "/w/sub/b.dw2", false}));
}

TEST_F(ChangeTranslatorTest, RenamedFolderKeepsItsWatchesUnderTheNewName)
{
    const auto batch = translator_.translate({
        raw(1, IN_MOVED_FROM | IN_ISDIR, "sub", 9),
        raw(1, IN_MOVED_TO | IN_ISDIR, "renamed", 9),
        raw(2, IN_MOVE_SELF, ""),
        raw(3, IN_CREATE, "inside"),
    });
    ASSERT_EQ(batch.changes.size(), 2u);
    EXPECT_EQ(batch.changes[0], (PathChange{SHCNE_RENAMEFOLDER, "/w/sub", "/w/renamed", true}));
    EXPECT_EQ(batch.changes[1].path1, "/w/renamed/deeper/inside");
    EXPECT_TRUE(batch.watchesToRemove.empty());
}

TEST_F(ChangeTranslatorTest, LoneMoveFromIsAMoveOutAndDropsTheWatchesBelow)
{
    auto batch = translator_.translate({
        raw(1, IN_MOVED_FROM | IN_ISDIR, "sub", 4),
        raw(1, IN_CREATE, "after"),
    });
    ASSERT_EQ(batch.changes.size(), 2u);
    EXPECT_EQ(batch.changes[0], (PathChange{SHCNE_RMDIR, "/w/sub", "", true}));
    std::sort(batch.watchesToRemove.begin(), batch.watchesToRemove.end());
    EXPECT_EQ(batch.watchesToRemove, std::vector<int>({2, 3}));
    EXPECT_FALSE(table_.isWatched("/w/sub/deeper"));
}

TEST_F(ChangeTranslatorTest, LoneMoveToIsACreate)
{
    const auto batch = translator_.translate({raw(2, IN_MOVED_TO | IN_ISDIR, "arrived", 5)});
    ASSERT_EQ(batch.changes.size(), 1u);
    EXPECT_EQ(batch.changes[0], (PathChange{SHCNE_MKDIR, "/w/sub/arrived", "", true}));
}

TEST_F(ChangeTranslatorTest, MoveFromAtTheEndOfAReadCutShortWaitsForItsPartner)
{
    auto first = translator_.translate({raw(1, IN_CREATE, "x"), raw(1, IN_MOVED_FROM, "x", 11)}, ReadEnd::MoreWaiting);
    EXPECT_EQ(first.changes.size(), 1u);
    EXPECT_TRUE(translator_.hasHeldMove());

    auto second = translator_.translate({raw(2, IN_MOVED_TO, "y", 11)});
    ASSERT_EQ(second.changes.size(), 1u);
    EXPECT_EQ(second.changes[0], (PathChange{SHCNE_RENAMEITEM, "/w/x", "/w/sub/y", false}));
    EXPECT_FALSE(translator_.hasHeldMove());
}

TEST_F(ChangeTranslatorTest, MoveFromAtTheEndOfAReadThatEmptiedTheQueueIsAMoveOutAtOnce)
{
    // Held back, it would reach the owner only with the next read, behind
    // changes that happened after it.
    auto batch = translator_.translate({raw(1, IN_CREATE, "x"), raw(1, IN_MOVED_FROM, "gone.dw2", 12)});
    EXPECT_FALSE(translator_.hasHeldMove());
    const std::vector<PathChange> expected = {
        {SHCNE_CREATE, "/w/x", "", false},
        {SHCNE_DELETE, "/w/gone.dw2", "", false},
    };
    EXPECT_EQ(batch.changes, expected);
    // A read cut short that ends with nothing more settles a held move too.
    translator_.translate({raw(1, IN_MOVED_FROM, "later.dw2", 13)}, ReadEnd::MoreWaiting);
    const auto settled = translator_.translate({});
    ASSERT_EQ(settled.changes.size(), 1u);
    EXPECT_EQ(settled.changes[0], (PathChange{SHCNE_DELETE, "/w/later.dw2", "", false}));
}

TEST_F(ChangeTranslatorTest, UnmountedFolderIsForgottenAndOfferedForAFreshWatch)
{
    const auto batch = translator_.translate({raw(2, IN_UNMOUNT, ""), raw(2, IN_IGNORED, "")});
    EXPECT_TRUE(batch.changes.empty());
    EXPECT_EQ(batch.unmountedFolders, std::vector<std::string>({"/w/sub"}));
    EXPECT_FALSE(table_.isWatched("/w/sub"));
}

TEST_F(ChangeTranslatorTest, OverflowAsksEveryRootToBeReadAgain)
{
    table_.add(8, "/elsewhere");
    const auto batch = translator_.translate({raw(-1, IN_Q_OVERFLOW, "")});
    EXPECT_TRUE(batch.overflowed);
    const std::vector<PathChange> expected = {
        {SHCNE_UPDATEDIR, "/elsewhere", "", true},
        {SHCNE_UPDATEDIR, "/w", "", true},
    };
    EXPECT_EQ(batch.changes, expected);
}

TEST_F(ChangeTranslatorTest, SelfEventsAreToldOnlyForRoots)
{
    const auto batch = translator_.translate({
        raw(2, IN_ATTRIB, ""),      // told by the parent's watch instead
        raw(1, IN_ATTRIB, ""),      // the root's own attributes
        raw(1, IN_DELETE_SELF, ""), // the root itself is gone
        raw(1, IN_IGNORED, ""),
    });
    const std::vector<PathChange> expected = {
        {SHCNE_ATTRIBUTES, "/w", "", true},
        {SHCNE_RMDIR, "/w", "", true},
    };
    EXPECT_EQ(batch.changes, expected);
    EXPECT_FALSE(table_.isWatched("/w"));
}

TEST_F(ChangeTranslatorTest, EventsOfForgottenWatchesAreIgnored)
{
    const auto batch = translator_.translate({raw(42, IN_CREATE, "stray")});
    EXPECT_TRUE(batch.changes.empty());
}

TEST_F(ChangeTranslatorTest, FolderSeenThroughTwoPathsIsToldForBoth)
{
    table_.add(2, "/w/link");
    const auto batch = translator_.translate({raw(2, IN_CREATE, "n")});
    ASSERT_EQ(batch.changes.size(), 2u);
    EXPECT_EQ(batch.changes[0].path1, "/w/sub/n");
    EXPECT_EQ(batch.changes[1].path1, "/w/link/n");
}

} // namespace
} // namespace dw::platform
