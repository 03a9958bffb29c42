// SPDX-License-Identifier: MIT
#include "shell/notification/StNotifyEvents.h"

#include "platform/changes/ShellChangeEvents.h"

#include <array>

namespace {

using namespace dw::platform;

struct MemberFacts {
    long shellEvent;
    std::string_view name;
};

constexpr std::array<MemberFacts, kNotifyEventCount> kMembers = {{
    {SHCNE_ASSOCCHANGED, "neAssociationChange"},
    {SHCNE_ATTRIBUTES, "neAttributesChange"},
    {SHCNE_UPDATEITEM, "neFileChange"},
    {SHCNE_CREATE, "neFileCreate"},
    {SHCNE_DELETE, "neFileDelete"},
    {SHCNE_RENAMEITEM, "neFileRename"},
    {SHCNE_DRIVEADD, "neDriveAdd"},
    {SHCNE_DRIVEREMOVED, "neDriveRemove"},
    {SHCNE_DRIVEADDGUI, "neShellDriveAdd"},
    {SHCNE_FREESPACE, "neDriveSpaceChange"},
    {SHCNE_MEDIAINSERTED, "neMediaInsert"},
    {SHCNE_MEDIAREMOVED, "neMediaRemove"},
    {SHCNE_MKDIR, "neFolderCreate"},
    {SHCNE_RMDIR, "neFolderDelete"},
    {SHCNE_RENAMEFOLDER, "neFolderRename"},
    {SHCNE_UPDATEDIR, "neFolderUpdate"},
    {SHCNE_NETSHARE, "neNetShare"},
    {SHCNE_NETUNSHARE, "neNetUnShare"},
    {SHCNE_SERVERDISCONNECT, "neServerDisconnect"},
    {SHCNE_UPDATEIMAGE, "neImageListChange"},
}};

} // namespace

long NotifyEventShellEvent(TStNotifyEvents member)
{
    return kMembers.at(static_cast<std::size_t>(member)).shellEvent;
}

long NotifyEventsShellMask(TStNotifyEventsSet events)
{
    long mask = 0;
    for (int member = 0; member < kNotifyEventCount; ++member) {
        if (events.Contains(static_cast<TStNotifyEvents>(member)))
            mask |= kMembers[static_cast<std::size_t>(member)].shellEvent;
    }
    return mask;
}

std::string_view NotifyEventName(TStNotifyEvents member)
{
    return kMembers.at(static_cast<std::size_t>(member)).name;
}
