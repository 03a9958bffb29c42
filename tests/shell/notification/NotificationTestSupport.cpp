// SPDX-License-Identifier: MIT
#include "tests/shell/notification/NotificationTestSupport.h"

#include "shell/items/StShellItem.h"

#include <QCoreApplication>

namespace notification_testing {

using dw::platform::MessageWindow;
using dw::platform::SHChangeNotifyLists;

void PrintTo(const Call& call, std::ostream* out)
{
    *out << call.handler << "(" << call.item1 << ", " << call.item2 << ", events 0x" << std::hex
         << call.events.Bits() << std::dec << ")";
}

std::string pathOf(const TStShellItem* item)
{
    return item == nullptr ? std::string("-") : item->GetPath();
}

void recordAllEvents(TStCustomShellNotification& c, std::vector<Call>& calls)
{
    auto none = [&calls](const char* name) { return [&calls, name](QObject*) { calls.push_back({name, "-", "-", {}}); }; };
    auto one = [&calls](const char* name) {
        return [&calls, name](QObject*, TStShellItem* item) { calls.push_back({name, pathOf(item), "-", {}}); };
    };
    auto two = [&calls](const char* name) {
        return [&calls, name](QObject*, TStShellItem* a, TStShellItem* b) {
            calls.push_back({name, pathOf(a), pathOf(b), {}});
        };
    };
    c.OnAssociationChange = none("OnAssociationChange");
    c.OnAttributeChange = two("OnAttributeChange");
    c.OnDriveAdd = one("OnDriveAdd");
    c.OnDriveRemove = one("OnDriveRemove");
    c.OnDriveSpaceChange = [&calls](QObject*, std::uint32_t drives) {
        calls.push_back({"OnDriveSpaceChange", std::to_string(drives), "-", {}});
    };
    c.OnFileChange = one("OnFileChange");
    c.OnFileCreate = one("OnFileCreate");
    c.OnFileDelete = two("OnFileDelete");
    c.OnFileRename = two("OnFileRename");
    c.OnFolderChange = one("OnFolderChange");
    c.OnFolderCreate = one("OnFolderCreate");
    c.OnFolderDelete = one("OnFolderDelete");
    c.OnFolderRename = two("OnFolderRename");
    c.OnImageListChange = none("OnImageListChange");
    c.OnMediaInsert = one("OnMediaInsert");
    c.OnMediaRemove = one("OnMediaRemove");
    c.OnNetShare = one("OnNetShare");
    c.OnNetUnShare = one("OnNetUnShare");
    c.OnServerDisconnect = one("OnServerDisconnect");
    c.OnShellDriveAdd = one("OnShellDriveAdd");
    c.OnShellChangeNotify = [&calls](QObject*, TStShellItem* a, TStShellItem* b, TStNotifyEventsSet events) {
        calls.push_back({"OnShellChangeNotify", pathOf(a), pathOf(b), events});
    };
}

void deliverReport(const TStCustomShellNotification& component, long eventBits,
                   const dw::platform::ItemIdList* item1, const dw::platform::ItemIdList* item2)
{
    const SHChangeNotifyLists lists{item1, item2};
    MessageWindow* window = MessageWindow::fromHandle(component.WindowHandle());
    window->sendMessage(TStCustomShellNotification::kReportMessage, reinterpret_cast<dw::platform::WPARAM>(&lists),
                        eventBits);
}

void handlePosted()
{
    // A message posted while posted messages are handled (the drain) waits
    // for the next round.
    for (int round = 0; round < 4; ++round)
        QCoreApplication::sendPostedEvents();
}

} // namespace notification_testing
