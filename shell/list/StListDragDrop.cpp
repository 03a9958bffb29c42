// SPDX-License-Identifier: MIT
// Dragging the selection out of the list, and drops into it: a drag over a
// folder row goes to that folder's drop target, anywhere else to the drop
// target of the folder shown; the row under the cursor is marked.

#include "shell/list/StCustomShellListView.h"

#include "platform/fileinfo/SystemImageList.h"
#include "platform/fileops/DropTarget.h"
#include "shell/dragdrop/StDataObject.h"
#include "shell/dragdrop/StDragData.h"
#include "shell/dragdrop/StDropEffects.h"
#include "shell/dragdrop/StDropHandler.h"
#include "shell/dragdrop/StDropTargets.h"
#include "shell/items/StShellFolder.h"
#include "shell/list/StListColumns.h"
#include "shell/list/StShellListModel.h"

#include <QDrag>
#include <QDragEnterEvent>

using namespace dw::platform;

namespace {

unsigned KeyStateOf(const QDropEvent& event)
{
    return DragKeyStateOf(event.modifiers(), event.buttons());
}

} // namespace

// The drag carries every selected item ("Shell IDList Array": their common
// parent, then each item below it; text/uri-list and text/plain for other
// programs), with the effects all of them allow. The target moves or copies
// them; the change reports then update the rows.
std::unique_ptr<TStDataObject> TStCustomShellListView::SelectionDragData(unsigned& allowedEffects)
{
    allowedEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    std::vector<std::unique_ptr<TStShellItem>> items;
    std::vector<const TStShellItem*> dragged;
    for (int row : SelectedRows()) {
        allowedEffects &= DropEffectsOfAttributes(m_model->RecordAt(row).attributes);
        items.push_back(ItemAt(row));
        dragged.push_back(items.back().get());
    }
    if (dragged.empty()) {
        allowedEffects = DROPEFFECT_NONE;
        return nullptr;
    }
    return std::make_unique<TStDataObject>(dragged);
}

void TStCustomShellListView::ListStartDrag(QAbstractItemView& view)
{
    if (!m_options.Contains(loAllowDrag))
        return;
    unsigned effects = DROPEFFECT_NONE;
    std::unique_ptr<TStDataObject> data = SelectionDragData(effects);
    if (!data || effects == DROPEFFECT_NONE)
        return;
    QDrag drag(&view);
    drag.setMimeData(data.release()); // the drag owns its data
    const QModelIndex current = view.currentIndex();
    const int row = current.isValid() ? current.row() : SelectedRows().front();
    const QPixmap image = SystemImageList::large().pixmap(m_model->RecordAt(row).iconIndex);
    if (!image.isNull()) {
        drag.setPixmap(image);
        drag.setHotSpot(QPoint(image.width() / 2, image.height() / 2));
    }
    drag.exec(DropActionsOf(effects), Qt::MoveAction);
}

void TStCustomShellListView::ListDragEnter(QAbstractItemView& view, QDragEnterEvent* event)
{
    if (!m_options.Contains(loAllowDrop) || !m_folder) {
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
    m_dropTargetSet = false;
    event->accept();
    ListDragMove(view, event);
}

void TStCustomShellListView::ListDragMove(QAbstractItemView& view, QDragMoveEvent* event)
{
    if (!m_draggingOver) {
        event->ignore();
        return;
    }
    const QModelIndex under = view.indexAt(event->position().toPoint());
    const bool onFolder = under.isValid() && (m_model->flags(under.siblingAtColumn(lcName)) & Qt::ItemIsDropEnabled);
    const QPersistentModelIndex row = onFolder ? QPersistentModelIndex(under.siblingAtColumn(lcName))
                                               : QPersistentModelIndex();
    unsigned effect = DropEffectsOf(event->possibleActions());
    if (!m_dropTargetSet || row != m_dropRow || !m_dropTarget)
        effect = SetDropTarget(row, KeyStateOf(*event), effect);
    else if (failed(m_dropTarget->DragOver(KeyStateOf(*event), effect)))
        effect = DROPEFFECT_NONE;
    if (effect == DROPEFFECT_NONE) {
        event->ignore();
        return;
    }
    event->setDropAction(DropActionOf(effect));
    event->accept();
}

unsigned TStCustomShellListView::SetDropTarget(const QPersistentModelIndex& row, unsigned keyState, unsigned allowed)
{
    if (m_dropTarget)
        m_dropTarget->DragLeave();
    m_dropTarget.reset();
    m_dropRow = row;
    m_dropTargetSet = true;
    CurrentView()->viewport()->update();
    const std::unique_ptr<TStShellItem> rowItem = row.isValid() ? ItemAt(row.row()) : nullptr;
    const TStShellItem* folder = rowItem ? rowItem.get() : m_folder.get();
    m_dropTarget = folder ? DropTargetOfItem(*folder) : nullptr;
    unsigned effect = allowed;
    if (!m_dropTarget || failed(m_dropTarget->DragEnter(m_dragPaths, keyState, effect)))
        return DROPEFFECT_NONE;
    return effect;
}

void TStCustomShellListView::EndDragOver()
{
    m_draggingOver = false;
    m_dropTargetSet = false;
    m_dropRow = QPersistentModelIndex();
    if (m_stack)
        CurrentView()->viewport()->update();
}

void TStCustomShellListView::ListDragLeave(QAbstractItemView&, QDragLeaveEvent* event)
{
    if (m_dropTarget)
        m_dropTarget->DragLeave();
    m_dropTarget.reset();
    EndDragOver();
    event->accept();
}

void TStCustomShellListView::ListDrop(QAbstractItemView&, QDropEvent* event)
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
