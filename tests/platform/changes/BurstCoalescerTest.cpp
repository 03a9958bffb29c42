// SPDX-License-Identifier: MIT
#include "platform/changes/filewatch/BurstCoalescer.h"

#include "platform/changes/ShellChangeEvents.h"

#include <gtest/gtest.h>

namespace dw::platform {
namespace {

PathChange change(long event, std::string path, std::string path2 = {})
{
    return {event, std::move(path), std::move(path2), false};
}

TEST(BurstCoalescerTest, SmallBatchesPassUnchanged)
{
    const std::vector<PathChange> changes = {
        change(SHCNE_CREATE, "/w/a"), change(SHCNE_UPDATEITEM, "/w/a"), change(SHCNE_RENAMEITEM, "/w/a", "/w/b"),
        change(SHCNE_DELETE, "/w/b")};
    EXPECT_EQ(coalesceBurst(changes, {8, {}}), changes);
}

TEST(BurstCoalescerTest, RepeatedContentChangesOfOneItemAreToldOnce)
{
    const auto result = coalesceBurst({change(SHCNE_UPDATEITEM, "/w/a"), change(SHCNE_UPDATEITEM, "/w/a"),
                                       change(SHCNE_UPDATEITEM, "/w/b"), change(SHCNE_UPDATEITEM, "/w/a"),
                                       change(SHCNE_DELETE, "/w/a"), change(SHCNE_CREATE, "/w/a"),
                                       change(SHCNE_UPDATEITEM, "/w/a")},
                                      {8, {}});
    const std::vector<PathChange> expected = {change(SHCNE_UPDATEITEM, "/w/a"), change(SHCNE_UPDATEITEM, "/w/b"),
                                              change(SHCNE_DELETE, "/w/a"), change(SHCNE_CREATE, "/w/a"),
                                              change(SHCNE_UPDATEITEM, "/w/a")};
    EXPECT_EQ(result, expected);
}

TEST(BurstCoalescerTest, AttributesOfAnItemThatCameInTheSameBatchAreNotTold)
{
    const auto result = coalesceBurst({change(SHCNE_ATTRIBUTES, "/w/a"), change(SHCNE_CREATE, "/w/a"),
                                       change(SHCNE_ATTRIBUTES, "/w/a"), change(SHCNE_RENAMEITEM, "/w/b", "/w/c"),
                                       change(SHCNE_ATTRIBUTES, "/w/c"), change(SHCNE_ATTRIBUTES, "/w/d")},
                                      {8, {}});
    const std::vector<PathChange> expected = {change(SHCNE_ATTRIBUTES, "/w/a"), change(SHCNE_CREATE, "/w/a"),
                                              change(SHCNE_RENAMEITEM, "/w/b", "/w/c"),
                                              change(SHCNE_ATTRIBUTES, "/w/d")};
    EXPECT_EQ(result, expected);
}

TEST(BurstCoalescerTest, BusyFolderFoldsIntoOneUpdateWhereItsLastChangeWas)
{
    std::vector<PathChange> changes;
    changes.push_back(change(SHCNE_CREATE, "/quiet/x"));
    for (int i = 0; i < 10; ++i)
        changes.push_back(change(SHCNE_CREATE, "/busy/f" + std::to_string(i)));
    changes.push_back(change(SHCNE_DELETE, "/quiet/y"));

    const auto result = coalesceBurst(changes, {5, {}});
    const std::vector<PathChange> expected = {change(SHCNE_CREATE, "/quiet/x"),
                                              {SHCNE_UPDATEDIR, "/busy", "", true},
                                              change(SHCNE_DELETE, "/quiet/y")};
    EXPECT_EQ(result, expected);
}

TEST(BurstCoalescerTest, MoveOutOfAFoldedFolderFoldsItsDestinationToo)
{
    // The owner never saw /busy/f1 appear, so a rename from there could not
    // show it in /other: both folders are read again instead.
    std::vector<PathChange> changes;
    for (int i = 0; i < 10; ++i)
        changes.push_back(change(SHCNE_CREATE, "/busy/f" + std::to_string(i)));
    changes.push_back(change(SHCNE_RENAMEITEM, "/busy/f1", "/other/f1"));

    const std::vector<PathChange> expected = {{SHCNE_UPDATEDIR, "/busy", "", true},
                                              {SHCNE_UPDATEDIR, "/other", "", true}};
    EXPECT_EQ(coalesceBurst(changes, {5, {}}), expected);
}

TEST(BurstCoalescerTest, FolderMadeInAFoldedFolderAndMovedOnShowsAtItsNewPlace)
{
    std::vector<PathChange> changes;
    changes.push_back({SHCNE_MKDIR, "/p/A", "", true});
    for (int i = 0; i < 10; ++i)
        changes.push_back(change(SHCNE_CREATE, "/p/f" + std::to_string(i)));
    changes.push_back({SHCNE_RENAMEFOLDER, "/p/A", "/q/A", true});
    changes.push_back(change(SHCNE_CREATE, "/p/z"));

    const auto result = coalesceBurst(changes);
    const std::vector<PathChange> expected = {{SHCNE_UPDATEDIR, "/q", "", true},
                                              {SHCNE_UPDATEDIR, "/p", "", true}};
    EXPECT_EQ(result, expected);
}

TEST(BurstCoalescerTest, MovesBetweenQuietFoldersStayRenames)
{
    std::vector<PathChange> changes;
    for (int i = 0; i < 10; ++i)
        changes.push_back(change(SHCNE_CREATE, "/busy/f" + std::to_string(i)));
    changes.push_back(change(SHCNE_RENAMEITEM, "/quiet/x", "/other/x"));

    const std::vector<PathChange> expected = {{SHCNE_UPDATEDIR, "/busy", "", true},
                                              change(SHCNE_RENAMEITEM, "/quiet/x", "/other/x")};
    EXPECT_EQ(coalesceBurst(changes, {5, {}}), expected);
}

TEST(BurstCoalescerTest, MoreReportsThanAViewKeepsWaitingAreFolded)
{
    // A view keeps six reports waiting and drops the seventh.
    std::vector<PathChange> changes;
    for (int i = 0; i < 5; ++i)
        changes.push_back({SHCNE_MKDIR, "/w/d" + std::to_string(i), "", true});
    EXPECT_EQ(coalesceBurst(changes), changes);

    changes.push_back({SHCNE_MKDIR, "/w/d5", "", true});
    changes.push_back({SHCNE_MKDIR, "/w/d6", "", true});
    const std::vector<PathChange> expected = {{SHCNE_UPDATEDIR, "/w", "", true}};
    EXPECT_EQ(coalesceBurst(changes), expected);
}

TEST(BurstCoalescerTest, ReportsUnderSecondNamesCountTowardsTheBudget)
{
    // On the desktop an item is reported under its path, under Home and as
    // a child of the desktop: three mkdirs there send nine reports.
    const ReportBudget budget{5, {"/home/u", "/home/u/Desktop"}};
    std::vector<PathChange> changes;
    for (const char* name : {"d1", "d2", "d3"})
        changes.push_back({SHCNE_MKDIR, std::string("/home/u/Desktop/") + name, "", true});
    const std::vector<PathChange> expected = {{SHCNE_UPDATEDIR, "/home/u/Desktop", "", true}};
    EXPECT_EQ(coalesceBurst(changes, budget), expected);

    const std::vector<PathChange> outsideHome = {{SHCNE_MKDIR, "/srv/d1", "", true},
                                                 {SHCNE_MKDIR, "/srv/d2", "", true},
                                                 {SHCNE_MKDIR, "/srv/d3", "", true}};
    EXPECT_EQ(coalesceBurst(outsideHome, budget), outsideHome);
}

TEST(BurstCoalescerTest, OnlyTheBusiestFoldersFoldUntilTheReadFits)
{
    std::vector<PathChange> changes;
    changes.push_back(change(SHCNE_CREATE, "/b/x"));
    for (int i = 0; i < 6; ++i)
        changes.push_back(change(SHCNE_CREATE, "/a/f" + std::to_string(i)));
    changes.push_back(change(SHCNE_CREATE, "/b/y"));

    const std::vector<PathChange> expected = {change(SHCNE_CREATE, "/b/x"), {SHCNE_UPDATEDIR, "/a", "", true},
                                              change(SHCNE_CREATE, "/b/y")};
    EXPECT_EQ(coalesceBurst(changes), expected);
}

TEST(BurstCoalescerTest, FoldedUpdateComesBeforeAKeptReportNamingItsInside)
{
    // The report about /p/sub/x must meet /p as it is now, so /p is read
    // again first, although its last change came later.
    std::vector<PathChange> changes;
    changes.push_back({SHCNE_MKDIR, "/p/sub", "", true});
    for (int i = 0; i < 9; ++i)
        changes.push_back(change(SHCNE_CREATE, "/p/f" + std::to_string(i)));
    changes.push_back(change(SHCNE_CREATE, "/p/sub/x"));
    changes.push_back(change(SHCNE_CREATE, "/p/z"));

    const std::vector<PathChange> expected = {{SHCNE_UPDATEDIR, "/p", "", true},
                                              change(SHCNE_CREATE, "/p/sub/x")};
    EXPECT_EQ(coalesceBurst(changes), expected);
}

TEST(BurstCoalescerTest, FoldedUpdateComesBeforeTheFolderItselfIsRenamed)
{
    std::vector<PathChange> changes;
    for (int i = 0; i < 8; ++i)
        changes.push_back(change(SHCNE_CREATE, "/top/p/f" + std::to_string(i)));
    changes.push_back({SHCNE_RENAMEFOLDER, "/top/p", "/elsewhere/p", true});

    const std::vector<PathChange> expected = {{SHCNE_UPDATEDIR, "/top/p", "", true},
                                              {SHCNE_RENAMEFOLDER, "/top/p", "/elsewhere/p", true}};
    EXPECT_EQ(coalesceBurst(changes), expected);
}

TEST(BurstCoalescerTest, TenThousandCreatesBecomeOneReport)
{
    std::vector<PathChange> changes;
    for (int i = 0; i < 10000; ++i)
        changes.push_back(change(SHCNE_CREATE, "/w/file" + std::to_string(i)));
    const auto result = coalesceBurst(changes);
    ASSERT_EQ(result.size(), 1u);
    EXPECT_EQ(result[0], (PathChange{SHCNE_UPDATEDIR, "/w", "", true}));
}

} // namespace
} // namespace dw::platform
