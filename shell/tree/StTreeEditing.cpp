// SPDX-License-Identifier: MIT
// Renaming in place, the shell's context menu, and the keys a tree answers
// beyond Qt's own (F5 refreshes, Esc stops listings under way).

#include "shell/tree/StCustomShellTreeView.h"

#include "base/exceptions/SsBase.h"
#include "platform/listing/LineCall.h"
#include "platform/namespace/ShellErrors.h"
#include "platform/namespace/ShellNamespace.h"
#include "shell/items/StShellFolder.h"
#include "shell/tree/StShellTreeModel.h"
#include "shell/tree/StTreeListing.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>

using namespace dw::platform;

namespace {

constexpr int kRenameCommand = 19;
constexpr std::size_t kLongestName = 260;

} // namespace

bool TStCustomShellTreeView::MayRename(const TStTreeNode& node) const
{
    const TStShellFolder* folder = FolderOf(&node);
    return !m_readOnly && m_options.Contains(toAllowRename) && folder && folder->CanRename();
}

bool TStCustomShellTreeView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    if (trigger != QAbstractItemView::NoEditTriggers) {
        const TStTreeNode* node = m_model->NodeAt(index);
        if (!node || node != SelectedNode() || !MayRename(*node))
            return false;
    }
    return QTreeView::edit(index, trigger, event);
}

// The rename itself runs on the folder's volume line (a share may be slow);
// then the parent is read again and the node showing the new name selected.
void TStCustomShellTreeView::RenameNode(TStTreeNode& node, const std::string& newName)
{
    TStShellFolder* folder = FolderOf(&node);
    if (!folder || newName.empty() || newName == folder->GetDisplayName() || !folder->CanRename())
        return;
    struct Outcome {
        HResult result = E_FAIL;
        IdListPtr newRelative;
    };
    auto outcome = std::make_shared<Outcome>();
    const ShellFolderPtr parent = folder->GetParentFolder();
    auto relative = std::make_shared<IdListPtr>(ILClone(folder->GetRelativeIdList()));
    const std::string name = newName.substr(0, kLongestName);
    IdListPtr parentList(ILClone(folder->GetAbsoluteIdList()));
    ILRemoveLastID(parentList.get());
    auto parentShared = std::make_shared<IdListPtr>(std::move(parentList));
    auto work = [parent, relative, name, outcome] {
        outcome->result = parent->SetNameOf(relative->get(), name, SHGDN_NORMAL, &outcome->newRelative);
    };
    auto then = [this, outcome, parentShared, oldName = folder->GetDisplayName()] {
        TStTreeNode* parentNode = NodeByIdList(parentShared->get());
        const IdListPtr renamed(outcome->newRelative ? ILCombine(parentShared->get(), outcome->newRelative.get())
                                                     : nullptr);
        if (parentNode) {
            RefreshNode(parentNode);
            if (TStTreeNode* again = renamed ? NodeByIdList(renamed.get()) : nullptr)
                SelectNode(*again);
        }
        if (failed(outcome->result))
            throw ESsShellError(ssscCannotRename, {oldName + ": " + shellErrorText(outcome->result)});
    };
    // Owned by this tree until it has reported.
    auto* call = new LineCall(currentShellNamespace().volumeKeyOf(parentShared->get()), std::move(work),
                              std::move(then), this);
    call->SetDeleteWhenDone(true);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct RestoreCursor {
        ~RestoreCursor() { QApplication::restoreOverrideCursor(); }
    } restore;
    call->waitFinished(kQuickListing);
}

void TStCustomShellTreeView::ShowShellMenu(const QPoint& globalPosition)
{
    TStTreeNode* node = SelectedNode();
    TStShellFolder* folder = FolderOf(node);
    if (!folder || !folder->GetParentFolder() || !folder->GetRelativeIdList())
        return;
    TStContextMenuOptions options;
    options.allowRename = m_options.Contains(toAllowRename) && !m_readOnly;
    options.extendedMenu = m_options.Contains(toExtendedMenu);
    options.itemName = folder->GetDisplayName();
    const QPointer<TStCustomShellTreeView> alive(this);
    const int chosen = m_controller->ShowContextMenu(this, folder->GetParentFolder(), window(), globalPosition.x(),
                                                     globalPosition.y(), {folder->GetRelativeIdList()}, options);
    if (alive && chosen == kRenameCommand && SelectedNode() == node)
        edit(currentIndex());
}

void TStCustomShellTreeView::contextMenuEvent(QContextMenuEvent* event)
{
    if (!m_options.Contains(toShellMenu)) {
        QTreeView::contextMenuEvent(event);
        return;
    }
    QPoint at = event->globalPos();
    if (event->reason() != QContextMenuEvent::Mouse) // the menu key: at the selected node
        at = viewport()->mapToGlobal(visualRect(currentIndex()).bottomLeft());
    ShowShellMenu(at);
}

void TStCustomShellTreeView::mousePressEvent(QMouseEvent* event)
{
    // A right click selects the node under the cursor first.
    if (event->button() == Qt::RightButton) {
        if (TStTreeNode* node = NodeAtPoint(event->position().toPoint()))
            SelectNode(*node);
    }
    QTreeView::mousePressEvent(event);
}

void TStCustomShellTreeView::mouseReleaseEvent(QMouseEvent* event)
{
    QTreeView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && m_hotTrack && !m_autoExpand) {
        if (TStTreeNode* node = SelectedNode())
            ExpandNode(*node);
    }
}

void TStCustomShellTreeView::RefreshSelected()
{
    if (TStTreeNode* node = SelectedNode())
        RefreshNode(node);
}

void TStCustomShellTreeView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F5 && event->modifiers() == Qt::NoModifier) {
        RefreshSelected();
        return;
    }
    if (event->key() == Qt::Key_Escape && IsLoading()) {
        m_opening.reset();
        std::vector<TStTreeNode*> loading;
        for (const auto& [node, listing] : m_listings)
            loading.push_back(node);
        for (TStTreeNode* node : loading) {
            CancelListing(*node);
            collapse(m_model->IndexOf(node));
        }
        return;
    }
    QTreeView::keyPressEvent(event);
}
