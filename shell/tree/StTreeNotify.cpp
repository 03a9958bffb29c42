// SPDX-License-Identifier: MIT
// Keeping the nodes in step with the namespace: the tree's notification
// component reports every change below the desktop, and each kind of
// change adds, removes, renames or refreshes nodes.

#include "shell/tree/StCustomShellTreeView.h"

#include "platform/fileinfo/FileInfo.h"
#include "platform/namespace/ShellNamespace.h"
#include "shell/items/StShellFolder.h"
#include "shell/notification/StShellNotification.h"
#include "shell/tree/StShellTreeModel.h"
#include "shell/tree/StTreeListing.h"

#include <algorithm>

using namespace dw::platform;

namespace {

constexpr std::int32_t kQueueLimit = 5;

IdListPtr ParentListOf(const ItemIdList* absolute)
{
    IdListPtr parent(ILClone(absolute));
    if (!parent || !ILRemoveLastID(parent.get()))
        return nullptr;
    return parent;
}

} // namespace

void TStCustomShellTreeView::CreateNotifier()
{
    m_notifier = std::make_unique<TStShellNotification>();
    m_notifier->SetWatchSubFolders(true);
    m_notifier->SetWatchPidl(nullptr); // the desktop: the whole namespace
    m_notifier->OnShellChangeNotify = [this](QObject*, TStShellItem* oldItem, TStShellItem* newItem,
                                             TStNotifyEventsSet events) { ShellChanged(oldItem, newItem, events); };
    // Reports dropped over the queue's limit must not leave the tree stale:
    // once the burst is over, the expanded folders they concerned are read
    // again.
    m_notifier->OnReportsDropped = [this](QObject*, const TStItemIdLists& folders, bool all) {
        ReportsDropped(folders, all);
    };
    m_notifier->QueueLimit = kQueueLimit;
    m_notifier->SetActive(true);
}

void TStCustomShellTreeView::ShellChanged(TStShellItem* oldItem, TStShellItem* newItem, TStNotifyEventsSet events)
{
    DoShellChange(oldItem, newItem, events);
    if (m_ignoreNextNotification) {
        m_ignoreNextNotification = false;
        return;
    }
    if (!m_populated || !oldItem)
        return;
    const bool showFiles = m_options.Contains(toShowFiles);
    if (events.Contains(neFolderCreate) || events.Contains(neDriveAdd)
        || (events.Contains(neFileCreate) && showFiles)) {
        ItemCreated(*oldItem, events.Contains(neDriveAdd));
    } else if (events.Contains(neFolderDelete) || events.Contains(neDriveRemove)
               || (events.Contains(neFileDelete) && showFiles)) {
        ItemDeleted(*oldItem);
    } else if ((events.Contains(neFolderRename) || (events.Contains(neFileRename) && showFiles)) && newItem) {
        ItemRenamed(*oldItem, *newItem);
    } else if (events.Contains(neNetShare) || events.Contains(neNetUnShare)) {
        if (TStTreeNode* node = NodeByIdList(oldItem->GetAbsoluteIdList())) {
            node->overlay = oldItem->IsShared() ? 0 : (oldItem->IsLink() ? 1 : -1);
            m_model->NodeChanged(*node);
        }
    } else if (events.Contains(neMediaInsert) || events.Contains(neMediaRemove)) {
        if (TStTreeNode* node = NodeByPath(oldItem->GetPath())) {
            node->imageIndex = oldItem->GetIconIndex();
            if (TStShellFolder* folder = FolderOf(node))
                folder->SetDisplayName(oldItem->GetDisplayName());
            m_model->NodeChanged(*node);
        }
    }
    // Bursts, overflows and the watch limit arrive as one update of the
    // folder: what changed in it is not known, so it is read again.
    if (events.Contains(neFolderUpdate))
        FolderUpdated(*oldItem);
}

void TStCustomShellTreeView::ItemCreated(TStShellItem& item, bool drive)
{
    const IdListPtr parentList = ParentListOf(item.GetAbsoluteIdList());
    TStTreeNode* parent = parentList ? NodeByIdList(parentList.get()) : nullptr;
    if (parent && !parent->childrenRead && !parent->hasChildrenMark) {
        parent->hasChildrenMark = true; // it has a child now: it can be expanded
        m_model->NodeChanged(*parent);
    }
    if (!parent || !parent->childrenRead)
        return; // the next expansion brings it
    if (parent->loading) {
        parent->changedWhileLoading = true; // the listing may have read past it
        return;
    }
    for (const auto& child : parent->children) {
        const TStShellFolder* folder = FolderOf(child.get());
        if (folder && (folder->GetPath() == item.GetPath() || ILIsEqual(folder->GetAbsoluteIdList(), item.GetAbsoluteIdList())))
            return; // a node shows it already
    }
    auto folder = std::make_unique<TStShellFolder>(m_controller);
    folder->Assign(item);
    TStNodeImages images;
    images.imageIndex = folder->GetIconIndex();
    images.selectedIndex = folder->GetOpenIconIndex();
    images.overlay = folder->GetOverlayIndex();
    std::unique_ptr<TStTreeNode> node = MakeNode(images, drive);
    node->onRemovableDrive = parent->onRemovableDrive;
    const bool wasEmpty = parent->children.empty();
    m_model->AddNode(parent, std::move(node), std::move(folder));
    if (wasEmpty) {
        parent->hasChildrenMark = true;
        m_model->NodeChanged(*parent);
    }
}

void TStCustomShellTreeView::ItemDeleted(const TStShellItem& item)
{
    TStTreeNode* node = NodeByIdList(item.GetAbsoluteIdList());
    if (!node)
        node = NodeByPath(item.GetPath());
    if (node)
        RemoveNode(*node);
    else
        ForgetUnshownChild(item.GetAbsoluteIdList());
}

// A child of a folder still being listed that has no node yet: waiting to
// be shown, its node goes before it is; not yet come from the listing, the
// folder is read again once the listing is over.
void TStCustomShellTreeView::ForgetUnshownChild(const ItemIdList* absolute)
{
    TStTreeNode* parent = LoadingParentOf(absolute);
    if (!parent)
        return;
    auto& pending = m_listings.at(parent)->pending;
    const auto waiting = std::find_if(pending.begin(), pending.end(), [&](const auto& nodeAndFolder) {
        return ILIsEqual(nodeAndFolder.second->GetAbsoluteIdList(), absolute);
    });
    if (waiting != pending.end())
        pending.erase(waiting);
    else
        parent->changedWhileLoading = true;
}

// The node of the item's folder, when a listing of its children is under way.
TStTreeNode* TStCustomShellTreeView::LoadingParentOf(const ItemIdList* absolute) const
{
    const IdListPtr parentList = ParentListOf(absolute);
    TStTreeNode* parent = parentList ? NodeByIdList(parentList.get()) : nullptr;
    return parent && parent->loading && m_listings.count(parent) ? parent : nullptr;
}

// Frees the node and its folder (its entry nulled); a selected node hands
// the selection on to the next one.
void TStCustomShellTreeView::RemoveNode(TStTreeNode& node)
{
    if (SelectedNode() == &node) {
        const QModelIndex index = m_model->IndexOf(&node);
        QModelIndex next = indexBelow(index);
        if (!next.isValid() || m_model->NodeAt(next)->parent != node.parent)
            next = index.siblingAtRow(index.row() + 1);
        if (!next.isValid())
            next = indexAbove(index);
        if (TStTreeNode* successor = m_model->NodeAt(next); successor && successor != &node)
            SelectNode(*successor);
    }
    m_model->DeleteNode(node);
}

void TStCustomShellTreeView::ItemRenamed(const TStShellItem& oldItem, const TStShellItem& newItem)
{
    if (newItem.IsDesktop()) {
        ItemDeleted(oldItem);
        return;
    }
    // Names on this platform differ in case: the path is matched exactly.
    TStTreeNode* node = NodeByPath(oldItem.GetPath());
    if (!node)
        node = NodeByIdList(oldItem.GetAbsoluteIdList());
    if (!node) {
        // Perhaps not shown yet: the old name must not be shown later, and
        // the listing of the folder it went to may have missed the new one.
        ForgetUnshownChild(oldItem.GetAbsoluteIdList());
        for (const TStShellItem* item : {&oldItem, &newItem}) {
            if (TStTreeNode* parent = LoadingParentOf(item->GetAbsoluteIdList()))
                parent->changedWhileLoading = true;
        }
        return;
    }
    auto folder = std::make_unique<TStShellFolder>(m_controller);
    folder->Assign(newItem);
    const bool wasCurrent = m_currentFolder == FolderOf(node);
    node->sortKey.reset(); // ordered by the namespace from now on
    m_model->ReplaceFolder(*node, std::move(folder));
    if (wasCurrent)
        m_currentFolder = FolderOf(node);
    // Everything below it now has other ids: read it again when needed.
    if (!node->children.empty() || node->childrenRead) {
        const bool expanded = isExpanded(m_model->IndexOf(node));
        ForgetChildren(*node);
        if (expanded)
            ReadChildren(*node);
    }
    m_model->NodeChanged(*node);
    m_model->Reposition(*node);
}

void TStCustomShellTreeView::FolderUpdated(const TStShellItem& item)
{
    TStTreeNode* node = NodeByIdList(item.GetAbsoluteIdList());
    if (!node)
        node = NodeByPath(item.GetPath());
    RefreshIfExpanded(node);
}

void TStCustomShellTreeView::RefreshIfExpanded(TStTreeNode* node)
{
    if (!node)
        return;
    if (node->loading) {
        node->changedWhileLoading = true;
        return;
    }
    if (node->childrenRead && isExpanded(m_model->IndexOf(node))) {
        RefreshNode(node);
        return;
    }
    // Collapsed, with children or an expand button: what it shows is not
    // seen; it is read on the next expansion, and keeps its button till then.
    if (!node->children.empty() || node->hasChildrenMark) {
        if (node->childrenRead)
            ForgetChildren(*node);
        return;
    }
    // Without an expand button (a folder of files, say, whose files changed):
    // whether it has subfolders now is learnt by reading it again, in the
    // background; it gets an expand button only if it does.
    ReadChildren(*node, {}, std::chrono::milliseconds(0));
}

void TStCustomShellTreeView::ReportsDropped(const std::vector<IdListPtr>& folders, bool all)
{
    if (all) {
        RefreshNode(nullptr); // every expanded node below the top, read again
        return;
    }
    for (const IdListPtr& folder : folders)
        RefreshIfExpanded(NodeByIdList(folder.get()));
}
