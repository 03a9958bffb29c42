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
    EXPECT_EQ(coalesceBurst(changes, 8), changes);
}

TEST(BurstCoalescerTest, RepeatedContentChangesOfOneItemAreToldOnce)
{
    const auto result = coalesceBurst({change(SHCNE_UPDATEITEM, "/w/a"), change(SHCNE_UPDATEITEM, "/w/a"),
                                       change(SHCNE_UPDATEITEM, "/w/b"), change(SHCNE_UPDATEITEM, "/w/a"),
                                       change(SHCNE_DELETE, "/w/a"), change(SHCNE_CREATE, "/w/a"),
                                       change(SHCNE_UPDATEITEM, "/w/a")},
                                      8);
    const std::vector<PathChange> expected = {change(SHCNE_UPDATEITEM, "/w/a"), change(SHCNE_UPDATEITEM, "/w/b"),
                                              change(SHCNE_DELETE, "/w/a"), change(SHCNE_CREATE, "/w/a"),
                                              change(SHCNE_UPDATEITEM, "/w/a")};
    EXPECT_EQ(result, expected);
}

TEST(BurstCoalescerTest, BusyFolderFoldsIntoOneUpdateWhereItsLastChangeWas)
{
    std::vector<PathChange> changes;
    changes.push_back(change(SHCNE_CREATE, "/quiet/x"));
    for (int i = 0; i < 10; ++i)
        changes.push_back(change(SHCNE_CREATE, "/busy/f" + std::to_string(i)));
    changes.push_back(change(SHCNE_DELETE, "/quiet/y"));

    const auto result = coalesceBurst(changes, 5);
    const std::vector<PathChange> expected = {change(SHCNE_CREATE, "/quiet/x"),
                                              {SHCNE_UPDATEDIR, "/busy", "", true},
                                              change(SHCNE_DELETE, "/quiet/y")};
    EXPECT_EQ(result, expected);
}

TEST(BurstCoalescerTest, RenamesBetweenFoldersAreNeverFolded)
{
    std::vector<PathChange> changes;
    for (int i = 0; i < 10; ++i)
        changes.push_back(change(SHCNE_CREATE, "/busy/f" + std::to_string(i)));
    changes.push_back(change(SHCNE_RENAMEITEM, "/busy/f1", "/other/f1"));

    const auto result = coalesceBurst(changes, 5);
    ASSERT_EQ(result.size(), 2u);
    EXPECT_EQ(result[0].eventId, SHCNE_UPDATEDIR);
    EXPECT_EQ(result[1], change(SHCNE_RENAMEITEM, "/busy/f1", "/other/f1"));
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
