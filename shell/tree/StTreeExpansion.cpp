// SPDX-License-Identifier: MIT
// Reading a node's children when it is first expanded, through the listing
// producer: quick listings are waited for, slow ones go on in the
// background and their nodes arrive in batches, already in order.

#include "shell/tree/StCustomShellTreeView.h"

#include "platform/namespace/ShellNamespace.h"
#include "shell/items/StShellFolder.h"
#include "shell/tree/StShellTreeModel.h"
#include "shell/tree/StStepSequence.h"
#include "shell/tree/StTreeListing.h"

#include <QApplication>
#include <QTimer>

using namespace dw::platform;

namespace {

// Nodes that come within this long of the last shown ones wait to be shown
// with the next: a view lays out the whole folder each time. At most so many
// are shown at once, so that showing them never stalls the window.
constexpr qint64 kShowInterval = 100;
constexpr std::size_t kMostShownAtOnce = 4096;
constexpr std::size_t kSmallFolder = 16384;
// Between two such steps the window paints and takes input.
constexpr int kPauseBetweenShows = 10;

class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

bool IsRemovable(DriveType type)
{
    return type == DriveType::Removable;
}

// Whether `item` is `folder` or lies below it.
bool LiesWithin(const ItemIdList* folder, const ItemIdList* item)
{
    for (IdListPtr at(ILClone(item)); at;) {
        if (ILIsEqual(at.get(), folder))
            return true;
        if (!ILRemoveLastID(at.get()))
            return false;
    }
    return false;
}

} // namespace

std::unique_ptr<TStTreeNode> TStCustomShellTreeView::MakeNode(const TStNodeImages& images, bool hasChildren) const
{
    auto node = std::make_unique<TStTreeNode>();
    node->imageIndex = images.imageIndex;
    node->selectedIndex = images.selectedIndex;
    node->overlay = images.overlay;
    node->hasChildrenMark = hasChildren;
    return node;
}

void TStCustomShellTreeView::NodeExpanded(const QModelIndex& index)
{
    TStTreeNode* node = m_model->NodeAt(index);
    if (!node)
        return;
    m_expandedNodes.insert(node);
    ScheduleFitIndentation();
    if (!node->childrenRead)
        ReadChildren(*node);
}

void TStCustomShellTreeView::NodeCollapsed(const QModelIndex& index)
{
    TStTreeNode* node = m_model->NodeAt(index);
    if (!node)
        return;
    m_expandedNodes.erase(node);
    ScheduleFitIndentation();
    if (node->loading)
        CancelListing(*node);
}

// Expands `node`; `then` runs once its children are in (at once when they
// already were).
void TStCustomShellTreeView::ExpandNode(TStTreeNode& node, std::function<void()> then)
{
    if (node.childrenRead && !node.loading) {
        expand(m_model->IndexOf(&node));
        if (then)
            then();
        return;
    }
    ReadChildren(node, [this, &node, then = std::move(then)] {
        if (!node.children.empty())
            expand(m_model->IndexOf(&node));
        if (then)
            then();
    });
}

void TStCustomShellTreeView::ReadChildren(TStTreeNode& node, std::function<void()> then,
                                          std::chrono::milliseconds patience)
{
    const TStShellFolder* folder = FolderOf(&node);
    if (!folder)
        return;
    CancelListing(node);
    node.childrenRead = true;
    node.loading = true;
    node.changedWhileLoading = false; // this listing reads what is there now
    node.SetError({});
    auto listing = std::make_unique<Listing>();
    listing->then = std::move(then);
    listing->sinceShown.start();
    Listing* started = listing.get();
    m_listings[&node] = std::move(listing);
    ListingRequest request = m_controller->TreeListingRequest(folder->GetAbsoluteIdList());
    started->delivery = std::make_unique<ListingDelivery>(
        std::move(request), [this, &node](ListingBatch&& batch) { TakeBatch(node, std::move(batch)); });
    if (patience.count() <= 0) {
        m_model->NodeChanged(node); // shows that it is loading
        return;
    }
    {
        BusyCursor busy;
        // What the wait brings is shown in one step, not batch by batch.
        started->waiting = true;
        const bool ended = started->delivery->waitFinished(patience);
        const auto still = m_listings.find(&node);
        if (ended || still == m_listings.end() || still->second.get() != started)
            return; // the children are in place, as if read on the spot
        started->waiting = false;
    }
    FlushPending(node, *started);
    if (const auto still = m_listings.find(&node); still != m_listings.end() && still->second.get() == started)
        m_model->NodeChanged(node); // shows that it is loading
}

void TStCustomShellTreeView::TakeBatch(TStTreeNode& node, ListingBatch&& batch)
{
    Listing& listing = *m_listings.at(&node);
    const TStShellFolder* parentFolder = FolderOf(&node);
    const bool parentRemovable = node.onRemovableDrive
        || (parentFolder && IsRemovable(currentShellNamespace().driveTypeOf(parentFolder->GetAbsoluteIdList())));
    for (const ChildRecord& record : batch.records) {
        if (NodeByIdList(record.absolute.get()))
            continue; // already shown: a change notice brought it first
        auto folder = std::make_unique<TStShellFolder>(m_controller);
        folder->FillFromRecord(record);
        bool accept = true;
        if (HasFilterHook())
            FilterItem(*folder, accept);
        if (!accept)
            continue;
        TStNodeImages images{record.iconIndex, record.openIconIndex, record.overlayIndex};
        std::unique_ptr<TStTreeNode> child = MakeNode(images, record.hasChildren);
        child->sortKey = record.sortKey;
        const auto volumeType = currentShellNamespace().volumeDriveType(record.absolute.get());
        child->onRemovableDrive = volumeType ? IsRemovable(*volumeType) : parentRemovable;
        if (record.childrenError != 0)
            child->SetError(listingErrorText(E_FAIL, record.childrenError));
        listing.pending.emplace_back(std::move(child), std::move(folder));
    }
    if (batch.last)
        listing.endedWith = std::make_unique<ListingBatch>(std::move(batch));
    if (listing.waiting && !listing.endedWith)
        return; // shown with the rest when the wait is over
    const bool due = !listing.stepping
        && (!listing.shownAny || listing.endedWith || listing.sinceShown.elapsed() >= kShowInterval);
    if (due)
        FlushPending(node, listing); // the listing ends here once nothing waits
    else if (!listing.flushScheduled)
        ScheduleShowing(node, listing, kShowInterval);
}

// Shows what waits (or the next step of it); once nothing waits and the
// last batch came, the listing ends.
void TStCustomShellTreeView::FlushPending(TStTreeNode& node, Listing& listing)
{
    if (!listing.pending.empty())
        ShowPending(node, listing);
    if (listing.pending.empty() && listing.endedWith)
        ListingEnded(node, *std::shared_ptr<ListingBatch>(std::move(listing.endedWith)));
}

// Shows some of the nodes waiting; the rest go in a later turn of the event
// loop, and the listing ends once none wait.
void TStCustomShellTreeView::ShowPending(TStTreeNode& node, Listing& listing)
{
    auto& pending = listing.pending;
    // Up to a folder of kSmallFolder nodes, laying it out costs little:
    // everything goes at once.
    const std::size_t shown = node.children.size();
    const std::size_t allowed = std::max(kMostShownAtOnce, shown < kSmallFolder ? kSmallFolder - shown : 0);
    const std::size_t count = std::min(pending.size(), allowed);
    std::vector<std::pair<std::unique_ptr<TStTreeNode>, std::unique_ptr<TStShellFolder>>> now(
        std::make_move_iterator(pending.end() - std::ptrdiff_t(count)), std::make_move_iterator(pending.end()));
    pending.resize(pending.size() - count);
    m_model->AddNodes(node, std::move(now));
    listing.shownAny = true;
    listing.sinceShown.restart();
    listing.stepping = !pending.empty();
    if (listing.stepping)
        ScheduleShowing(node, listing, kPauseBetweenShows);
}

void TStCustomShellTreeView::ScheduleShowing(TStTreeNode& node, Listing& listing, int delay)
{
    if (listing.flushScheduled)
        return;
    listing.flushScheduled = true;
    QTimer::singleShot(delay, this, [this, &node, scheduled = &listing] {
        // The node may have gone meanwhile, and its listing with it.
        const auto found = m_listings.find(&node);
        if (found == m_listings.end() || found->second.get() != scheduled)
            return;
        scheduled->flushScheduled = false;
        FlushPending(node, *scheduled);
    });
}

void TStCustomShellTreeView::ListingEnded(TStTreeNode& node, const ListingBatch& last)
{
    std::function<void()> then = std::move(m_listings.at(&node)->then);
    m_listings.erase(&node); // this runs inside its delivery, which allows it
    node.loading = false;
    const bool readAgain = node.changedWhileLoading;
    node.changedWhileLoading = false;
    const bool readable = succeeded(last.result);
    if (!readable)
        node.SetError(last.errorText);
    if (node.children.empty() && !(readAgain && readable)) {
        node.hasChildrenMark = false; // it proved empty (or unreadable): no expand button
        collapse(m_model->IndexOf(&node));
    }
    m_model->NodeChanged(node);
    // A change came while the listing ran: what it read may be out of date.
    // (Found again by its list: what `then` does may have changed the tree.)
    const TStShellFolder* folder = FolderOf(&node);
    const IdListPtr again(readAgain && readable && folder ? ILClone(folder->GetAbsoluteIdList()) : nullptr);
    // Also when it could not be read: an open at that folder still selects
    // it, and one through it finds the next level missing.
    if (then)
        then();
    if (again)
        RefreshIfExpanded(NodeByIdList(again.get()));
}

void TStCustomShellTreeView::CancelListing(TStTreeNode& node)
{
    const auto found = m_listings.find(&node);
    if (found == m_listings.end())
        return;
    m_listings.erase(found);
    // What came so far goes (and any listing below it, as the nodes go):
    // expanding again reads the folder afresh.
    node.loading = false;
    node.changedWhileLoading = false;
    node.childrenRead = false;
    m_model->DeleteChildren(node);
    m_model->NodeChanged(node);
}

// Its children go, and any listing of them or below them: it is read again
// when next expanded, and until then shows an expand button if it showed
// children (one read and found without any keeps showing none).
void TStCustomShellTreeView::ForgetChildren(TStTreeNode& node)
{
    const bool hadChildren = node.hasChildrenMark || !node.children.empty();
    m_listings.erase(&node);
    m_model->DeleteChildren(node);
    node.childrenRead = false;
    node.loading = false;
    node.hasChildrenMark = hadChildren;
    m_model->NodeChanged(node);
}

// Whatever frees a node (collapsing, Esc, a re-read, a notice, populating
// again), nothing may point at it afterwards: its listing stops, and it is
// no longer the drop target or the current folder.
void TStCustomShellTreeView::NodeGoing(TStTreeNode& node)
{
    m_listings.erase(&node);
    m_expandedNodes.erase(&node);
    if (m_dropTargetNode == &node) {
        m_dropTargetNode = nullptr;
        m_expandTimer.stop();
    }
    if (m_currentFolder && FolderOf(&node) == m_currentFolder)
        m_currentFolder = nullptr;
}

void TStCustomShellTreeView::RefreshNode(TStTreeNode* node)
{
    TStTreeNode* target = node ? node : m_model->TopNode();
    if (!target)
        return;
    // The expanded folders below it, in visible order, to expand again.
    auto expanded = std::make_shared<std::vector<IdListPtr>>();
    std::function<void(TStTreeNode&)> collect = [&](TStTreeNode& at) {
        for (auto& child : at.children) {
            if (!isExpanded(m_model->IndexOf(child.get())))
                continue;
            if (const TStShellFolder* folder = FolderOf(child.get()))
                expanded->push_back(IdListPtr(ILClone(folder->GetAbsoluteIdList())));
            collect(*child);
        }
    };
    collect(*target);
    TakeOverReReadsWithin(*target, *expanded);
    const bool wasExpanded = isExpanded(m_model->IndexOf(target));
    // A selected folder below it is selected again once it is read again:
    // quietly, as nothing changed for whoever listens. Meanwhile the
    // selection rests on the node read again, quietly too.
    std::shared_ptr<const IdListPtr> reselect = SelectionBelow(*target);
    // An earlier re-read below, not done yet, still owes a selection: this
    // one takes that debt over, as it frees the earlier one's nodes.
    if (const TStShellFolder* folder = FolderOf(target);
        m_reselect && folder && LiesWithin(folder->GetAbsoluteIdList(), m_reselect->get()))
        reselect = m_reselect;
    if (reselect)
        m_reselect = reselect;
    {
        const bool wasQuiet = m_selectingQuietly;
        m_selectingQuietly = true;
        ForgetChildren(*target);
        m_selectingQuietly = wasQuiet;
    }
    ReadChildren(*target, [this, target, wasExpanded, expanded, reselect] {
        if (wasExpanded || target == m_model->TopNode())
            expand(m_model->IndexOf(target));
        TStStepSequence::Run(expanded->size() + 1, [this, expanded, reselect](std::size_t at,
                                                                              std::function<void()> next) {
            if (at == expanded->size()) {
                Reselect(reselect);
                return;
            }
            TStTreeNode* again = NodeByIdList((*expanded)[at].get());
            if (!again) {
                next();
                return;
            }
            ExpandNode(*again, std::move(next));
            // Still being read: a re-read above, begun meanwhile, takes over
            // what is left to expand.
            if (const auto reading = m_listings.find(again);
                reading != m_listings.end() && !reading->second->expandAfter) {
                auto rest = std::make_shared<std::vector<IdListPtr>>();
                for (std::size_t later = at + 1; later < expanded->size(); ++later)
                    rest->push_back(IdListPtr(ILClone((*expanded)[later].get())));
                reading->second->expandAfter = std::move(rest);
            }
        });
    });
    if (const auto started = m_listings.find(target); started != m_listings.end())
        started->second->expandAfter = expanded;
}

// Re-reads under way at `node` or below it are about to be freed with the
// nodes: what they were to expand again is expanded by this one instead.
void TStCustomShellTreeView::TakeOverReReadsWithin(const TStTreeNode& node, std::vector<IdListPtr>& expandAfter)
{
    for (const auto& [at, listing] : m_listings) {
        if (!listing->expandAfter)
            continue;
        const TStTreeNode* above = at;
        while (above && above != &node)
            above = above->parent;
        if (!above)
            continue;
        for (const IdListPtr& list : *listing->expandAfter)
            expandAfter.push_back(IdListPtr(ILClone(list.get())));
    }
}

std::shared_ptr<const IdListPtr> TStCustomShellTreeView::SelectionBelow(const TStTreeNode& node) const
{
    const TStTreeNode* selected = SelectedNode();
    const TStShellFolder* folder = FolderOf(selected);
    if (!folder || selected == &node)
        return nullptr;
    for (const TStTreeNode* above = selected->parent; above; above = above->parent) {
        if (above == &node)
            return std::make_shared<const IdListPtr>(ILClone(folder->GetAbsoluteIdList()));
    }
    return nullptr;
}

// Selects the folder a re-read took away again, unless another was selected
// meanwhile (by the user, or by a later re-read).
void TStCustomShellTreeView::Reselect(const std::shared_ptr<const IdListPtr>& wanted)
{
    if (!wanted || m_reselect != wanted)
        return;
    m_reselect.reset();
    IdListPtr list(ILClone(wanted->get()));
    if (TStTreeNode* same = NodeByIdList(list.get())) {
        SelectNode(*same, true);
        m_currentFolder = FolderOf(same);
        return;
    }
    // It went meanwhile: its nearest parent still shown is selected, which
    // is a change of the current folder.
    while (ILRemoveLastID(list.get())) {
        if (TStTreeNode* parent = NodeByIdList(list.get())) {
            SelectNode(*parent, true);
            RaiseChange(*parent);
            return;
        }
    }
}
