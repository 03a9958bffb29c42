// SPDX-License-Identifier: MIT
// Dragging a folder out of the tree, and taking drops: the drag over a node
// is handed to that folder's drop target, the node is marked, the view
// scrolls near its edges and a hovered closed node opens after a while.

#include "shell/tree/StCustomShellTreeView.h"

#include "platform/fileops/DropTarget.h"
#include "platform/namespace/ShellNamespace.h"
#include "shell/dragdrop/StDragData.h"
#include "shell/dragdrop/StDropEffects.h"
#include "shell/dragdrop/StDropHandler.h"
#include "shell/dragdrop/StDropSource.h"
#include "shell/dragdrop/StDropTargets.h"
#include "shell/items/StShellFolder.h"
#include "shell/tree/StShellTreeModel.h"
#include "shell/tree/StTreeListing.h"

#include <QDragEnterEvent>
#include <QScrollBar>

using namespace dw::platform;

namespace {

constexpr int kTopScrollMargin = 10;
constexpr int kBottomScrollMargin = 30;
constexpr int kScrollPause = 30;

unsigned KeyStateOf(const QDropEvent& event)
{
    return DragKeyStateOf(event.modifiers(), event.buttons());
}

// -1 near the top, 1 near the bottom, 0 elsewhere.
int ScrollDirectionAt(const QPoint& position, int viewportHeight)
{
    if (position.y() < kTopScrollMargin)
        return -1;
    if (position.y() > viewportHeight - kBottomScrollMargin)
        return 1;
    return 0;
}

} // namespace

void TStCustomShellTreeView::startDrag(Qt::DropActions)
{
    if (!m_options.Contains(toAllowDrag))
        return;
    TStShellFolder* folder = FolderOf(SelectedNode());
    if (!folder)
        return;
    const TStDropSource source(*folder);
    source.Execute(this); // the namespace reports what the drop changed
}

void TStCustomShellTreeView::dragEnterEvent(QDragEnterEvent* event)
{
    if (!m_options.Contains(toAllowDrop)) {
        event->ignore();
        return;
    }
    const TStDroppedItems items = DroppedItemsOf(*event->mimeData());
    if (!items.IsValid()) {
        event->ignore(); // untrusted data that does not read: no drop
        return;
    }
    m_dragPaths = items.paths;
    m_draggingOver = true;
    event->accept();
    dragMoveEvent(event);
}

void TStCustomShellTreeView::dragMoveEvent(QDragMoveEvent* event)
{
    if (!m_draggingOver) {
        event->ignore();
        return;
    }
    m_dragPosition = event->position().toPoint();
    m_dragKeyState = KeyStateOf(*event);
    m_dragAllowed = DropEffectsOf(event->possibleActions());
    AutoScroll(m_dragPosition);
    TStTreeNode* node = NodeAtPoint(m_dragPosition);
    unsigned effect = m_dragAllowed;
    if (node != m_dropTargetNode || !m_dropTarget)
        effect = SetDropTarget(node, m_dragKeyState, effect);
    else if (failed(m_dropTarget->DragOver(m_dragKeyState, effect)))
        effect = DROPEFFECT_NONE;
    const QRect area = node ? visualRect(m_model->IndexOf(node)) : QRect();
    if (effect == DROPEFFECT_NONE) {
        event->ignore(area);
        return;
    }
    event->setDropAction(DropActionOf(effect));
    event->accept(area);
}

unsigned TStCustomShellTreeView::SetDropTarget(TStTreeNode* node, unsigned keyState, unsigned allowed)
{
    if (m_dropTarget)
        m_dropTarget->DragLeave();
    m_dropTarget.reset();
    TStTreeNode* old = m_dropTargetNode;
    m_dropTargetNode = node;
    if (old)
        m_model->NodeChanged(*old);
    m_expandTimer.stop();
    if (!node)
        return DROPEFFECT_NONE;
    m_model->NodeChanged(*node);
    if (m_expandInterval > 0) {
        m_expandTimer.setSingleShot(true);
        m_expandTimer.start(m_expandInterval);
    }
    const TStShellFolder* folder = FolderOf(node);
    m_dropTarget = folder ? DropTargetOfItem(*folder) : nullptr;
    unsigned effect = allowed;
    if (!m_dropTarget || failed(m_dropTarget->DragEnter(m_dragPaths, keyState, effect)))
        return DROPEFFECT_NONE;
    return effect;
}

void TStCustomShellTreeView::ExpandDropTarget()
{
    if (!m_draggingOver || !m_dropTargetNode)
        return;
    const QModelIndex index = m_model->IndexOf(m_dropTargetNode);
    if (!isExpanded(index) && m_model->hasChildren(index))
        expand(index);
}

// Near the top (within 10 pixels) or the bottom (within 30), the tree
// scrolls one node at once, then one more after each pause for as long as
// the cursor stays there, whether it moves or is held still.
void TStCustomShellTreeView::AutoScroll(const QPoint& position)
{
    const int direction = ScrollDirectionAt(position, viewport()->height());
    if (direction == 0) {
        m_scrollTimer.stop();
        return;
    }
    if (m_scrollTimer.isActive())
        return; // the pause is not over: the timer scrolls next
    ScrollOneNode(direction);
    m_scrollTimer.start(kScrollPause);
}

void TStCustomShellTreeView::ScrollWhileHeld()
{
    const int direction = m_draggingOver ? ScrollDirectionAt(m_dragPosition, viewport()->height()) : 0;
    if (direction == 0) {
        m_scrollTimer.stop();
        return;
    }
    ScrollOneNode(direction);
    // Another node came under the cursor: a drop now goes there.
    if (TStTreeNode* node = NodeAtPoint(m_dragPosition); node != m_dropTargetNode)
        SetDropTarget(node, m_dragKeyState, m_dragAllowed);
}

void TStCustomShellTreeView::ScrollOneNode(int direction)
{
    QScrollBar* bar = verticalScrollBar();
    const QModelIndex under = indexAt(m_dragPosition);
    const int oneNode = verticalScrollMode() == QAbstractItemView::ScrollPerItem || !under.isValid()
        ? bar->singleStep()
        : visualRect(under).height();
    bar->setValue(bar->value() + direction * oneNode);
}

void TStCustomShellTreeView::EndDragOver()
{
    m_expandTimer.stop();
    m_scrollTimer.stop();
    m_draggingOver = false;
    TStTreeNode* old = m_dropTargetNode;
    m_dropTargetNode = nullptr;
    if (old)
        m_model->NodeChanged(*old);
}

void TStCustomShellTreeView::dragLeaveEvent(QDragLeaveEvent* event)
{
    if (m_dropTarget)
        m_dropTarget->DragLeave();
    m_dropTarget.reset();
    EndDragOver();
    event->accept();
}

void TStCustomShellTreeView::dropEvent(QDropEvent* event)
{
    std::unique_ptr<IDropTarget> target = std::move(m_dropTarget);
    const std::vector<std::string> paths = std::move(m_dragPaths);
    EndDragOver();
    unsigned effect = DropEffectsOf(event->possibleActions());
    if (!target || !TStDropHandler::Drop(*target, paths, KeyStateOf(*event), effect, this)) {
        event->ignore();
        return;
    }
    event->setDropAction(DropActionOf(effect));
    event->accept();
}
