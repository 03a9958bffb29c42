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
// with the next: a view lays out the whole folder each time.
constexpr qint64 kShowInterval = 100;

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
    if (TStTreeNode* node = m_model->NodeAt(index); node && !node->childrenRead)
        ReadChildren(*node);
}

void TStCustomShellTreeView::NodeCollapsed(const QModelIndex& index)
{
    if (TStTreeNode* node = m_model->NodeAt(index); node && node->loading)
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

void TStCustomShellTreeView::ReadChildren(TStTreeNode& node, std::function<void()> then)
{
    const TStShellFolder* folder = FolderOf(&node);
    if (!folder)
        return;
    CancelListing(node);
    node.childrenRead = true;
    node.loading = true;
    node.SetError({});
    auto listing = std::make_unique<Listing>();
    listing->then = std::move(then);
    listing->sinceShown.start();
    Listing* started = listing.get();
    m_listings[&node] = std::move(listing);
    ListingRequest request = m_controller->TreeListingRequest(folder->GetAbsoluteIdList());
    started->delivery = std::make_unique<ListingDelivery>(
        std::move(request), [this, &node](ListingBatch&& batch) { TakeBatch(node, std::move(batch)); });
    {
        BusyCursor busy;
        if (started->delivery->waitFinished(kQuickListing))
            return; // the children are in place, as if read on the spot
    }
    if (m_listings.count(&node))
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
    const bool due = !listing.shownAny || batch.last || listing.sinceShown.elapsed() >= kShowInterval;
    if (due) {
        m_model->AddNodes(node, std::move(listing.pending));
        listing.pending.clear();
        listing.shownAny = true;
        listing.sinceShown.restart();
    } else if (!listing.flushScheduled) {
        listing.flushScheduled = true;
        QTimer::singleShot(kShowInterval, this, [this, &node] {
            const auto found = m_listings.find(&node);
            if (found == m_listings.end())
                return;
            Listing& waiting = *found->second;
            waiting.flushScheduled = false;
            m_model->AddNodes(node, std::move(waiting.pending));
            waiting.pending.clear();
            waiting.sinceShown.restart();
        });
    }
    if (batch.last)
        ListingEnded(node, batch);
}

void TStCustomShellTreeView::ListingEnded(TStTreeNode& node, const ListingBatch& last)
{
    std::function<void()> then = std::move(m_listings.at(&node)->then);
    m_listings.erase(&node); // this runs inside its delivery, which allows it
    node.loading = false;
    const bool readable = succeeded(last.result);
    if (!readable)
        node.SetError(last.errorText);
    if (node.children.empty()) {
        node.hasChildrenMark = false; // it proved empty (or unreadable): no expand button
        collapse(m_model->IndexOf(&node));
    }
    m_model->NodeChanged(node);
    if (readable && then)
        then();
}

void TStCustomShellTreeView::CancelListing(TStTreeNode& node)
{
    const auto found = m_listings.find(&node);
    if (found == m_listings.end())
        return;
    m_listings.erase(found);
    // What came so far goes: expanding again reads the folder afresh.
    node.loading = false;
    node.childrenRead = false;
    m_model->DeleteChildren(node);
    m_model->NodeChanged(node);
}

void TStCustomShellTreeView::CancelListingsBelow(TStTreeNode& node)
{
    for (auto& child : node.children)
        CancelListingsBelow(*child);
    m_listings.erase(&node);
    if (m_currentFolder && FolderOf(&node) == m_currentFolder)
        m_currentFolder = nullptr;
    if (m_dropTargetNode == &node)
        m_dropTargetNode = nullptr;
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
    const bool wasExpanded = isExpanded(m_model->IndexOf(target));
    for (auto& child : target->children)
        CancelListingsBelow(*child);
    m_listings.erase(target);
    m_model->DeleteChildren(*target);
    target->childrenRead = false;
    target->loading = false;
    target->hasChildrenMark = true;
    ReadChildren(*target, [this, target, wasExpanded, expanded] {
        if (wasExpanded || target == m_model->TopNode())
            expand(m_model->IndexOf(target));
        TStStepSequence::Run(expanded->size(), [this, expanded](std::size_t at, std::function<void()> next) {
            if (TStTreeNode* again = NodeByIdList((*expanded)[at].get()))
                ExpandNode(*again, std::move(next));
            else
                next();
        });
    });
}
