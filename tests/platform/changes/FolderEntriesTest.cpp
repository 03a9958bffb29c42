// SPDX-License-Identifier: MIT
#include "platform/changes/filewatch/FolderEntries.h"

#include <gtest/gtest.h>

namespace dw::platform {
namespace {

// A listing read on another thread began after the watch did: the changes
// told meanwhile are newer than what it read, whatever it read; and until
// the changes still queued when it came are told, it may hold what they
// bring (a rename's new name must not look like an item it replaced).
TEST(FolderEntriesTest, ChangesToldWhileTheListingIsReadWinOverItAndItIsTrustedOnceSettled)
{
    FolderEntries entries;
    entries.await("/w", 7);
    entries.set("/w/made", EntryKind::FolderLink);
    entries.erase("/w/went");
    entries.erase("/w/back");
    entries.set("/w/back", EntryKind::Folder);
    entries.set("/w/brief", EntryKind::File);
    entries.erase("/w/brief");
    EXPECT_EQ(entries.kindOf("/w/made"), EntryKind::FolderLink);
    EXPECT_EQ(entries.kindOf("/w/kept"), std::nullopt); // not known yet

    entries.listingRead(7, {{"went", EntryKind::Folder},
                            {"kept", EntryKind::FolderLink},
                            {"made", EntryKind::File},
                            {"back", EntryKind::File},
                            {"brief", EntryKind::File},
                            {"renamed", EntryKind::File}});
    EXPECT_EQ(entries.kindOf("/w/made"), EntryKind::FolderLink);
    EXPECT_EQ(entries.kindOf("/w/renamed"), std::nullopt) << "unsettled: maybe brought by a change still queued";
    entries.set("/w/renamed", EntryKind::File); // that change told
    EXPECT_EQ(entries.kindOf("/w/renamed"), EntryKind::File);
    EXPECT_EQ(entries.kindOf("/w/kept"), std::nullopt);

    entries.settle();
    EXPECT_EQ(entries.kindOf("/w/kept"), EntryKind::FolderLink);
    EXPECT_EQ(entries.kindOf("/w/made"), EntryKind::FolderLink);
    EXPECT_EQ(entries.kindOf("/w/back"), EntryKind::Folder);
    EXPECT_EQ(entries.kindOf("/w/went"), std::nullopt);
    EXPECT_EQ(entries.kindOf("/w/brief"), std::nullopt);

    entries.erase("/w/kept"); // complete now
    entries.listingRead(7, {{"kept", EntryKind::Folder}}); // a second answer counts for nothing
    EXPECT_EQ(entries.kindOf("/w/kept"), std::nullopt);
}

TEST(FolderEntriesTest, AListingFollowsItsFolderAndIsDroppedWhenTheFolderIsForgotten)
{
    FolderEntries entries;
    entries.await("/x", 1);
    entries.await("/y/sub", 2);
    entries.forget("/x");
    entries.renameTree("/y", "/z");
    entries.listingRead(1, {{"a", EntryKind::Folder}});
    entries.listingRead(2, {{"b", EntryKind::FolderLink}});
    entries.settle();
    EXPECT_EQ(entries.kindOf("/x/a"), std::nullopt);
    EXPECT_EQ(entries.kindOf("/y/sub/b"), std::nullopt);
    EXPECT_EQ(entries.kindOf("/z/sub/b"), EntryKind::FolderLink);
}

} // namespace
} // namespace dw::platform
