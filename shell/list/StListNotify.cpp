// SPDX-License-Identifier: MIT
// Keeping the rows true to the disk: the list's notification component
// watches the folder shown, and each kind of change adds, removes, renames
// or reads again the rows it concerns. Records of new and changed children
// are read on the folder's volume, never here.

#include "shell/list/StCustomShellListView.h"

#include "platform/fileinfo/FileTypes.h"
#include "platform/listing/LineCall.h"
#include "platform/listing/ListingWork.h"
#include "platform/namespace/ShellNamespace.h"
#include "shell/items/StShellFolder.h"
#include "shell/list/StListColumns.h"
#include "shell/list/StListListing.h"
#include "shell/list/StPendingReads.h"
#include "shell/list/StShellListModel.h"
#include "shell/notification/StShellNotification.h"

#include <QTimer>

using namespace dw::platform;

namespace {

// Reports that may wait; a burst beyond it has the folder read again once
// it is over, rather than each report handled.
constexpr std::int32_t kQueueLimit = 32;

IdListPtr ParentListOf(const ItemIdList* absolute)
{
    IdListPtr parent(ILClone(absolute));
    if (!parent || ILIdSize(parent.get()) == 0 || !ILRemoveLastID(parent.get()))
        return nullptr;
    return parent;
}

bool AnyOf(TStNotifyEventsSet events, std::initializer_list<TStNotifyEvents> members)
{
    for (TStNotifyEvents member : members) {
        if (events.Contains(member))
            return true;
    }
    return false;
}

} // namespace

void TStCustomShellListView::WatchFolder()
{
    m_notifier = std::make_unique<TStShellNotification>();
    m_notifier->SetWatchSubFolders(false);
    const ItemIdList* folder = m_folder->GetAbsoluteIdList();
    m_notifier->SetWatchPidl(ILIdSize(folder) == 0 ? nullptr : folder); // null: the desktop
    m_notifier->OnShellChangeNotify = [this](QObject*, TStShellItem* oldItem, TStShellItem* newItem,
                                             TStNotifyEventsSet events) { ShellChanged(oldItem, newItem, events); };
    m_notifier->OnReportsDropped = [this](QObject*, const TStItemIdLists&, bool) { ReportsDropped(); };
    m_notifier->QueueLimit = kQueueLimit;
    m_notifier->SetActive(true);
}

bool TStCustomShellListView::IsShownFolder(const TStShellItem& item) const
{
    return m_folder && ILIsEqual(item.GetAbsoluteIdList(), m_folder->GetAbsoluteIdList());
}

bool TStCustomShellListView::InShownFolder(const TStShellItem& item) const
{
    const IdListPtr parent = ParentListOf(item.GetAbsoluteIdList());
    return m_folder && parent && ILIsEqual(parent.get(), m_folder->GetAbsoluteIdList());
}

void TStCustomShellListView::ShellChanged(TStShellItem* oldItem, TStShellItem* newItem, TStNotifyEventsSet events)
{
    DoShellChange(oldItem, newItem, events);
    if (!m_folder || !oldItem)
        return;
    const bool concernsRows = InShownFolder(*oldItem) || (newItem && InShownFolder(*newItem));
    const bool concernsFolder = IsShownFolder(*oldItem);
    if (!concernsRows && !concernsFolder)
        return;
    if (concernsFolder && AnyOf(events, {neFolderDelete, neDriveRemove})) {
        GoUp(); // the folder shown is gone: its parent is the nearest that is there
        return;
    }
    if (concernsFolder && events.Contains(neFolderRename) && newItem) {
        ShownFolderRenamed(*newItem);
        return;
    }
    if (m_listing) {
        // The listing under way may have read past this change.
        m_listing->changedMeanwhile = true;
        return;
    }
    if (concernsFolder) {
        if (AnyOf(events, {neFolderUpdate, neAttributesChange}))
            Refresh(); // what changed inside is not known
        return;
    }
    if (AnyOf(events, {neFileCreate, neFolderCreate}))
        QueueRead(*oldItem);
    else if (AnyOf(events, {neFileDelete, neFolderDelete}))
        m_model->Remove(oldItem->GetPath());
    else if (AnyOf(events, {neFileRename, neFolderRename}) && newItem)
        ItemRenamed(*oldItem, *newItem);
    else if (AnyOf(events, {neFileChange, neAttributesChange, neFolderUpdate}))
        QueueRead(*oldItem);
}

// A row renamed in the folder takes its new name at once (and keeps its
// selection); its record is then read again, since its type, icon and
// attributes may follow the name.
void TStCustomShellListView::ItemRenamed(const TStShellItem& oldItem, const TStShellItem& newItem)
{
    const bool from = InShownFolder(oldItem);
    const bool to = InShownFolder(newItem);
    if (from && !to) {
        m_model->Remove(oldItem.GetPath());
        return;
    }
    const ChildRecord* old = from ? m_model->FindRecord(oldItem.GetPath()) : nullptr;
    if (old) {
        ChildRecord renamed = *old;
        renamed.absolute = shareIdList(IdListPtr(ILClone(newItem.GetAbsoluteIdList())));
        renamed.displayName = newItem.GetDisplayName();
        renamed.parsingName = newItem.GetPath();
        renamed.sortKey.reset();
        if (!IsFolderRecord(renamed))
            renamed.typeIndex = fileTypeOfName(renamed.parsingName).typeIndex;
        std::vector<ChildRecord> one;
        one.push_back(std::move(renamed));
        NormalizeKeys(one);
        m_model->Rename(oldItem.GetPath(), std::move(one.front()));
    }
    if (to)
        QueueRead(newItem);
}

void TStCustomShellListView::ShownFolderRenamed(const TStShellItem& newItem)
{
    ShowFolder(IdListPtr(ILClone(newItem.GetAbsoluteIdList())), false);
}

void TStCustomShellListView::ReportsDropped()
{
    Refresh(); // what the dropped reports said is not known: read it all again
}

void TStCustomShellListView::QueueRead(const TStShellItem& item)
{
    PendingReads& reads = *m_reads;
    const std::string& path = item.GetPath();
    IdListPtr relative(ILClone(ILFindLastID(item.GetAbsoluteIdList())));
    if (reads.inFlight.count(path)) {
        if (reads.again.insert(path).second)
            reads.againRelatives.push_back(std::move(relative));
        return;
    }
    if (!reads.paths.insert(path).second)
        return;
    reads.relatives.push_back(std::move(relative));
    if (reads.scheduled || reads.reading)
        return;
    reads.scheduled = true;
    // Reports of one burst come in one turn: they are read together.
    QTimer::singleShot(0, this, [this, serial = m_folderSerial] {
        if (serial == m_folderSerial)
            ReadQueued();
    });
}

void TStCustomShellListView::ReadQueued()
{
    PendingReads& reads = *m_reads;
    reads.scheduled = false;
    if (reads.reading || reads.relatives.empty())
        return;
    reads.reading = true;
    reads.inFlight = std::move(reads.paths);
    reads.paths.clear();
    auto relatives = std::make_shared<std::vector<IdListPtr>>(std::move(reads.relatives));
    reads.relatives.clear();
    auto records = std::make_shared<std::vector<ChildRecord>>();
    const ListingRequest request = FolderRequest();
    std::shared_ptr<IShellNamespace> space = sharedShellNamespace();
    auto* call = new LineCall(
        space->volumeKeyOf(m_folder->GetAbsoluteIdList()),
        [request, space, relatives, records] { *records = readChildRecords(request, *space, *relatives); },
        [this, records, serial = m_folderSerial] {
            if (serial != m_folderSerial)
                return; // another folder is shown now
            std::vector<std::string> asked(m_reads->inFlight.begin(), m_reads->inFlight.end());
            TakeReadRecords(std::move(*records), asked);
        },
        this); // owned by the list until it has reported
    call->SetDeleteWhenDone(true);
}

void TStCustomShellListView::TakeReadRecords(std::vector<ChildRecord> records, const std::vector<std::string>& asked)
{
    PendingReads& reads = *m_reads;
    reads.reading = false;
    reads.inFlight.clear();
    std::set<std::string> found;
    for (const ChildRecord& record : records)
        found.insert(record.parsingName);
    for (const std::string& path : asked) {
        if (!found.count(path))
            m_model->Remove(path); // gone again, or no longer listed (hidden)
    }
    NormalizeKeys(records);
    m_model->Merge(std::move(records));
    // What changed while it was read is read once more.
    for (IdListPtr& relative : reads.againRelatives)
        reads.relatives.push_back(std::move(relative));
    reads.paths.insert(reads.again.begin(), reads.again.end());
    reads.again.clear();
    reads.againRelatives.clear();
    if (!reads.relatives.empty() && !reads.scheduled) {
        reads.scheduled = true;
        QTimer::singleShot(0, this, [this, serial = m_folderSerial] {
            if (serial == m_folderSerial)
                ReadQueued();
        });
    }
}
