// SPDX-License-Identifier: MIT
#include "shell/notification/StShellNotification.h"

#include "base/exceptions/SsBase.h"
#include "platform/changesource/FileSystemChangeSource.h"
#include "platform/namespace/ShellNamespace.h"
#include "platform/shellmodule/ShellListFunctions.h"
#include "platform/version/ShellVersion.h"
#include "shell/items/StShellItem.h"
#include "shell/notification/ShellItemFactory.h"

#include <QPointer>

#include <utility>

using namespace dw::platform;

namespace {

// The order in which the bits of one report are looked at.
struct DispatchStep {
    long shellEvent;
    TStNotifyEvents member;
};

constexpr DispatchStep kDispatchOrder[] = {
    {SHCNE_ASSOCCHANGED, neAssociationChange}, {SHCNE_UPDATEITEM, neFileChange},
    {SHCNE_CREATE, neFileCreate},              {SHCNE_DELETE, neFileDelete},
    {SHCNE_RENAMEITEM, neFileRename},          {SHCNE_DRIVEADD, neDriveAdd},
    {SHCNE_DRIVEREMOVED, neDriveRemove},       {SHCNE_DRIVEADDGUI, neShellDriveAdd},
    {SHCNE_MEDIAINSERTED, neMediaInsert},      {SHCNE_MEDIAREMOVED, neMediaRemove},
    {SHCNE_MKDIR, neFolderCreate},             {SHCNE_RMDIR, neFolderDelete},
    {SHCNE_RENAMEFOLDER, neFolderRename},      {SHCNE_UPDATEDIR, neFolderUpdate},
    {SHCNE_NETSHARE, neNetShare},              {SHCNE_NETUNSHARE, neNetUnShare},
    {SHCNE_SERVERDISCONNECT, neServerDisconnect}, {SHCNE_UPDATEIMAGE, neImageListChange},
    {SHCNE_FREESPACE, neDriveSpaceChange},
};

// A bare drive such as "C:" stands for that drive's root.
std::string withDriveRoot(std::string path)
{
    if (path.size() == 2 && path.find(':') != std::string::npos)
        path += '\\';
    return path;
}

} // namespace

TStCustomShellNotification::TStCustomShellNotification(QObject* owner) : TSsComponent(owner)
{
    // The registration calls come from the shell module's table, loaded by
    // the first component that needs it (a missing entry point throws here).
    shell_ = &ShellListFunctions();
    shellVersion_ = SystemShellVersion();
    window_ = std::make_unique<MessageWindow>(
        [this](unsigned message, WPARAM wParam, LPARAM lParam) { return WindowProc(message, wParam, lParam); });
    // Reports from the file system itself come from this process's own source.
    FileSystemChangeSource::start();
}

TStCustomShellNotification::~TStCustomShellNotification()
{
    DeregisterWatch();
    window_.reset();
    queue_.Clear();
}

void TStCustomShellNotification::BeginLoading()
{
    loading_ = true;
}

void TStCustomShellNotification::Loaded()
{
    loading_ = false;
    if (active_ && !registered_)
        RegisterWatch();
}

void TStCustomShellNotification::SetActive(bool value)
{
    active_ = value;
    if (value && !registered_)
        RegisterWatch();
    else if (!value && registered_)
        DeregisterWatch();
}

void TStCustomShellNotification::SetNotifyEvents(TStNotifyEventsSet value)
{
    notifyEvents_ = value;
    if (active_)
        RegisterWatch();
}

void TStCustomShellNotification::SetWatchSubFolders(bool value)
{
    watchSubFolders_ = value;
    if (active_)
        RegisterWatch();
}

void TStCustomShellNotification::SetWatchFolder(const std::string& path)
{
    watchFolder_ = withDriveRoot(path);
    if (watchFolder_.empty())
        return;
    specialWatchFolder_ = sfNone;
    IdListPtr parsed = parsingNameToIdList(watchFolder_);
    if (!parsed)
        throw ESsInvalidFolder(ssscInvalidFolder);
    watchPidl_ = std::move(parsed);
    if (active_)
        RegisterWatch();
}

void TStCustomShellNotification::SetWatchPidl(const ItemIdList* list)
{
    watchPidl_ = cloneIdList(list);
    if (active_)
        RegisterWatch();
}

void TStCustomShellNotification::SetSpecialWatchFolder(TStSpecialRootFolder value)
{
    const int csidl = SpecialRootFolderCsidl(value);
    if (!ShellSupportsSpecialFolder(csidl, shellVersion_))
        throw ESsShellError(ssscShellVersionError);
    if (value == specialWatchFolder_)
        return;
    IdListPtr location; // none: the desktop
    if (value != sfNone && value != sfDesktop) {
        // Where this platform has no such folder, watching "none" would
        // silently watch the whole desktop: refuse, and change nothing.
        if (failed(SHGetSpecialFolderLocation(csidl, location)) || !location)
            throw ESsInvalidFolder(ssscInvalidFolder);
    }
    specialWatchFolder_ = value;
    if (value == sfNone)
        return;
    watchFolder_.clear();
    watchPidl_ = std::move(location);
    if (active_)
        RegisterWatch();
}

void TStCustomShellNotification::RegisterWatch()
{
    if (loading_)
        return;
    if (registered_)
        DeregisterWatch();
    const SHChangeNotifyEntry entry{watchPidl_.get(), watchSubFolders_};
    registrationId_ = shell_->SHChangeNotifyRegister(window_.get(), SHCNRF_InterruptLevel | SHCNRF_ShellLevel,
                                                     NotifyEventsShellMask(notifyEvents_), kReportMessage, 1, &entry);
    registered_ = registrationId_ != 0;
}

void TStCustomShellNotification::DeregisterWatch()
{
    if (registrationId_ != 0)
        shell_->SHChangeNotifyDeregister(registrationId_);
    registrationId_ = 0;
    registered_ = false;
}

LRESULT TStCustomShellNotification::WindowProc(unsigned message, WPARAM wParam, LPARAM lParam)
{
    if (message == kReportMessage) {
        const auto* lists = reinterpret_cast<const SHChangeNotifyLists*>(wParam);
        ReceiveReport(lists != nullptr ? *lists : SHChangeNotifyLists{nullptr, nullptr}, static_cast<long>(lParam));
        return 0;
    }
    if (message == kDrainMessage) {
        DrainQueue();
        return 0;
    }
    return DefWindowProc(window_.get(), message, wParam, lParam);
}

void TStCustomShellNotification::ReceiveReport(const SHChangeNotifyLists& lists, long eventBits)
{
    if (QueueLimit != 0 && static_cast<std::int64_t>(queue_.Count()) > QueueLimit) {
        DropReport(lists, eventBits);
        return;
    }
    if ((eventBits & SHCNE_ATTRIBUTES) != 0) {
        HandleAttributeReport(lists);
        return;
    }
    const std::size_t waiting = queue_.Append(std::make_unique<TStNotificationItem>(lists.item1, lists.item2, eventBits));
    if (waiting == 1)
        PostMessage(window_.get(), kDrainMessage, 0, 0);
}

void TStCustomShellNotification::DropReport(const SHChangeNotifyLists& lists, long eventBits)
{
    const bool firstOfBurst = dropped_.IsEmpty();
    dropped_.Note(lists.item1, lists.item2, eventBits);
    ++droppedTotal_;
    // With reports waiting, their drain tells of the drop when it ends; with
    // none (a negative limit drops them all), a drain of its own does.
    if (firstOfBurst && queue_.IsEmpty())
        PostMessage(window_.get(), kDrainMessage, 0, 0);
}

void TStCustomShellNotification::HandleAttributeReport(const SHChangeNotifyLists& lists)
{
    const QPointer<TStCustomShellNotification> self(this);
    currentEvents_ = {};
    std::unique_ptr<TStShellItem> item1 = MakeItem(lists.item1);
    std::unique_ptr<TStShellItem> item2 = MakeItem(lists.item2);
    currentEvents_ = {neAttributesChange};
    DoAttributeChange(item1.get(), item2.get());
    if (!self)
        return;
    DoShellChangeNotify(item1.get(), item2.get(), currentEvents_);
}

void TStCustomShellNotification::DrainQueue()
{
    const QPointer<TStCustomShellNotification> self(this);
    while (const TStNotificationItem* head = queue_.Head()) {
        bool alive = true;
        try {
            alive = DispatchReport(*head);
        } catch (...) {
            if (!self)
                throw;
            // The failure goes on to the application, but the report that
            // caused it must not block all later ones: drop it, and have the
            // rest drained on a later turn (no new report would ask for it,
            // since the queue is not empty).
            queue_.RemoveHead();
            if (!queue_.IsEmpty() || !dropped_.IsEmpty())
                PostMessage(window_.get(), kDrainMessage, 0, 0);
            throw;
        }
        if (!alive)
            return; // a handler destroyed the component, its queue with it
        queue_.RemoveHead();
    }
    TellDroppedReports();
}

// False when a handler destroyed the component.
bool TStCustomShellNotification::DispatchReport(const TStNotificationItem& report)
{
    const QPointer<TStCustomShellNotification> self(this);
    // Read before any handler runs: `report` dies with the component.
    const long eventBits = report.EventBits();
    const std::uint32_t drives = DwordFromIdList(report.FirstIdList());
    currentEvents_ = {};
    std::unique_ptr<TStShellItem> item1 = MakeItem(report.FirstIdList());
    std::unique_ptr<TStShellItem> item2 = MakeItem(report.SecondIdList());
    for (const DispatchStep& step : kDispatchOrder) {
        if ((eventBits & step.shellEvent) == 0)
            continue;
        currentEvents_.Include(step.member);
        CallKindHandler(step.member, item1.get(), item2.get(), drives);
        if (!self)
            return false;
    }
    DoShellChangeNotify(item1.get(), item2.get(), currentEvents_);
    return !self.isNull();
}

void TStCustomShellNotification::CallKindHandler(TStNotifyEvents member, TStShellItem* i1, TStShellItem* i2,
                                                 std::uint32_t drives)
{
    switch (member) {
    case neAssociationChange: DoAssociationChange(); break;
    case neAttributesChange: DoAttributeChange(i1, i2); break;
    case neFileChange: DoFileChange(i1); break;
    case neFileCreate: DoFileCreate(i1); break;
    case neFileDelete: DoFileDelete(i1, i2); break;
    case neFileRename: DoFileRename(i1, i2); break;
    case neDriveAdd: DoDriveAdd(i1); break;
    case neDriveRemove: DoDriveRemove(i1); break;
    case neShellDriveAdd: DoShellDriveAdd(i1); break;
    case neDriveSpaceChange: DoDriveSpaceChange(drives); break;
    case neMediaInsert:
        if (i1 != nullptr)
            RefreshMediaItem(*i1);
        DoMediaInsert(i1);
        break;
    case neMediaRemove:
        if (i1 != nullptr)
            RefreshMediaItem(*i1);
        DoMediaRemove(i1);
        break;
    case neFolderCreate: DoFolderCreate(i1); break;
    case neFolderDelete: DoFolderDelete(i1); break;
    case neFolderRename: DoFolderRename(i1, i2); break;
    case neFolderUpdate: DoFolderChange(i1); break;
    case neNetShare: DoNetShare(i1); break;
    case neNetUnShare: DoNetUnShare(i1); break;
    case neServerDisconnect: DoServerDisconnect(i1); break;
    case neImageListChange: DoImageListChange(); break;
    }
}

// Called with the queue empty; the record starts afresh before the handler
// runs, so drops during it make a burst of their own.
void TStCustomShellNotification::TellDroppedReports()
{
    if (dropped_.IsEmpty())
        return;
    const TStDroppedReports burst = std::exchange(dropped_, TStDroppedReports());
    DoReportsDropped(burst.Folders(), burst.All());
}

std::unique_ptr<TStShellItem> TStCustomShellNotification::MakeItem(const ItemIdList* absolute)
{
    return absolute != nullptr ? MakeNotificationShellItem(absolute) : nullptr;
}

void TStCustomShellNotification::RefreshMediaItem(TStShellItem& item)
{
    RefreshShellItemFromShell(item);
}

void TStShellNotification::SetSpecialWatchFolderOrdinal(int ordinal)
{
    // An ordinal outside the set is no special folder at all.
    const bool known = ordinal >= 0 && ordinal < kSpecialRootFolderCount;
    SetSpecialWatchFolder(known ? static_cast<TStSpecialRootFolder>(ordinal) : sfNone);
}

// The handlers: each fires its event when one is assigned.

void TStCustomShellNotification::DoAssociationChange()
{
    if (OnAssociationChange)
        OnAssociationChange(this);
}

void TStCustomShellNotification::DoAttributeChange(TStShellItem* item1, TStShellItem* item2)
{
    if (OnAttributeChange)
        OnAttributeChange(this, item1, item2);
}

void TStCustomShellNotification::DoDriveAdd(TStShellItem* item1)
{
    if (OnDriveAdd)
        OnDriveAdd(this, item1);
}

void TStCustomShellNotification::DoDriveRemove(TStShellItem* item1)
{
    if (OnDriveRemove)
        OnDriveRemove(this, item1);
}

void TStCustomShellNotification::DoDriveSpaceChange(std::uint32_t drives)
{
    if (OnDriveSpaceChange)
        OnDriveSpaceChange(this, drives);
}

void TStCustomShellNotification::DoFileChange(TStShellItem* item1)
{
    if (OnFileChange)
        OnFileChange(this, item1);
}

void TStCustomShellNotification::DoFileCreate(TStShellItem* item1)
{
    if (OnFileCreate)
        OnFileCreate(this, item1);
}

void TStCustomShellNotification::DoFileDelete(TStShellItem* item1, TStShellItem* item2)
{
    if (OnFileDelete)
        OnFileDelete(this, item1, item2);
}

void TStCustomShellNotification::DoFileRename(TStShellItem* item1, TStShellItem* item2)
{
    if (OnFileRename)
        OnFileRename(this, item1, item2);
}

void TStCustomShellNotification::DoFolderChange(TStShellItem* item1)
{
    if (OnFolderChange)
        OnFolderChange(this, item1);
}

void TStCustomShellNotification::DoFolderCreate(TStShellItem* item1)
{
    if (OnFolderCreate)
        OnFolderCreate(this, item1);
}

void TStCustomShellNotification::DoFolderDelete(TStShellItem* item1)
{
    if (OnFolderDelete)
        OnFolderDelete(this, item1);
}

void TStCustomShellNotification::DoFolderRename(TStShellItem* item1, TStShellItem* item2)
{
    if (OnFolderRename)
        OnFolderRename(this, item1, item2);
}

void TStCustomShellNotification::DoImageListChange()
{
    if (OnImageListChange)
        OnImageListChange(this);
}

void TStCustomShellNotification::DoMediaInsert(TStShellItem* item1)
{
    if (OnMediaInsert)
        OnMediaInsert(this, item1);
}

void TStCustomShellNotification::DoMediaRemove(TStShellItem* item1)
{
    if (OnMediaRemove)
        OnMediaRemove(this, item1);
}

void TStCustomShellNotification::DoNetShare(TStShellItem* item1)
{
    if (OnNetShare)
        OnNetShare(this, item1);
}

void TStCustomShellNotification::DoNetUnShare(TStShellItem* item1)
{
    if (OnNetUnShare)
        OnNetUnShare(this, item1);
}

void TStCustomShellNotification::DoServerDisconnect(TStShellItem* item1)
{
    if (OnServerDisconnect)
        OnServerDisconnect(this, item1);
}

void TStCustomShellNotification::DoShellDriveAdd(TStShellItem* item1)
{
    if (OnShellDriveAdd)
        OnShellDriveAdd(this, item1);
}

void TStCustomShellNotification::DoShellChangeNotify(TStShellItem* item1, TStShellItem* item2,
                                                     TStNotifyEventsSet events)
{
    if (OnShellChangeNotify)
        OnShellChangeNotify(this, item1, item2, events);
}

void TStCustomShellNotification::DoReportsDropped(const TStItemIdLists& folders, bool all)
{
    if (OnReportsDropped)
        OnReportsDropped(this, folders, all);
}
