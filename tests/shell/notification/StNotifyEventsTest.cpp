// SPDX-License-Identifier: MIT
#include "shell/notification/StNotifyEvents.h"
#include "shell/notification/StRootFolderKinds.h"

#include "platform/changes/ShellChangeEvents.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace dw::platform;

TEST(StNotifyEventsTest, MembersMapToDistinctShellEventsCoveringTheTable)
{
    std::set<long> seen;
    for (int member = 0; member < kNotifyEventCount; ++member) {
        const long event = NotifyEventShellEvent(static_cast<TStNotifyEvents>(member));
        EXPECT_EQ(event & (event - 1), 0) << "one bit per member";
        seen.insert(event);
    }
    EXPECT_EQ(seen.size(), 20u);
    EXPECT_EQ(NotifyEventShellEvent(neFolderUpdate), 0x00001000);
    EXPECT_EQ(NotifyEventShellEvent(neShellDriveAdd), 0x00010000);
    EXPECT_EQ(NotifyEventShellEvent(neAssociationChange), 0x08000000);
}

TEST(StNotifyEventsTest, MaskIsTheUnionOfTheMembersEvents)
{
    EXPECT_EQ(NotifyEventsShellMask({}), 0);
    EXPECT_EQ(NotifyEventsShellMask({neFolderCreate, neFolderRename}), SHCNE_MKDIR | SHCNE_RENAMEFOLDER);
    EXPECT_EQ(NotifyEventsShellMask(TStNotifyEventsSet::All()), 0x0807FFFF);
}

TEST(StNotifyEventsTest, SetKeepsBitOrderOfTheMembers)
{
    TStNotifyEventsSet set{neAssociationChange, neImageListChange};
    EXPECT_EQ(set.Bits(), (1u << 0) | (1u << 19));
    set.Exclude(neAssociationChange);
    EXPECT_FALSE(set.Contains(neAssociationChange));
    EXPECT_TRUE(set.Contains(neImageListChange));
    EXPECT_EQ(TStNotifyEventsSet::FromBits(0xFFFFFFFF), TStNotifyEventsSet::All());
    EXPECT_EQ(NotifyEventName(neFolderCreate), "neFolderCreate");
    EXPECT_EQ(NotifyEventName(neFolderUpdate), "neFolderUpdate");
}

TEST(StSpecialRootFolderTest, OrdinalsAndFolderNumbersFollowTheSharedTable)
{
    EXPECT_EQ(static_cast<int>(sfNone), 22);
    EXPECT_EQ(static_cast<int>(sfDesktop), 12);
    EXPECT_EQ(SpecialRootFolderCsidl(sfDesktop), 0);
    EXPECT_EQ(SpecialRootFolderCsidl(sfNone), 0);
    EXPECT_EQ(SpecialRootFolderCsidl(sfDrives), 17);
    EXPECT_EQ(SpecialRootFolderCsidl(sfConnections), 49);
    EXPECT_EQ(SpecialRootFolderCsidl(sfTemplates), 21);
    EXPECT_EQ(SpecialRootFolderCsidl(sfAltStartup), 29);
    EXPECT_EQ(SpecialRootFolderCsidl(sfHistory), 34);
}

} // namespace
