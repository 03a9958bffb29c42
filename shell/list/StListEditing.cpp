// SPDX-License-Identifier: MIT
// What the user does to the rows: opening them, renaming in place, moving
// them to the trash, the shell's context menu, and the keys a file list
// answers beyond Qt's own.

#include "shell/list/StCustomShellListView.h"

#include "base/exceptions/SsBase.h"
#include "platform/contextmenu/QtShellUi.h"
#include "platform/fileops/FileOperations.h"
#include "platform/listing/LineCall.h"
#include "platform/namespace/DisplayText.h"
#include "platform/namespace/ShellErrors.h"
#include "platform/namespace/ShellNamespace.h"
#include "shell/items/StShellFolder.h"
#include "shell/list/StListColumns.h"
#include "shell/list/StShellListModel.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>

#include <memory>

using namespace dw::platform;

namespace {

constexpr int kRenameCommand = 19;
constexpr std::size_t kLongestName = 260;

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

// Opening.

void TStCustomShellListView::OpenItem(int row)
{
    std::unique_ptr<TStShellItem> item = ItemAt(row);
    if (!item)
        return;
    bool defaultAction = true;
    DoItemActivated(*item, defaultAction);
    if (!defaultAction)
        return;
    if (IsFolderRecord(m_model->RecordAt(row))) {
        ShowFolder(IdListPtr(ILClone(item->GetAbsoluteIdList())), true);
        return;
    }
    // The namespace's launcher: the desktop's default application, started
    // from an argument vector. Finding it may read the file, so it runs on
    // the file's volume and a failure is told when it comes.
    auto launched = std::make_shared<bool>(false);
    auto absolute = std::make_shared<IdListPtr>(ILClone(item->GetAbsoluteIdList()));
    auto work = [absolute, launched] { *launched = ShellExecuteDefaultVerb(absolute->get()); };
    auto then = [launched, name = item->GetDisplayName()] {
        if (!*launched)
            throw ESsShellError(ssscCannotExecute, {name});
    };
    auto* call = new LineCall(currentShellNamespace().volumeKeyOf(absolute->get()), std::move(work), std::move(then),
                              this); // owned by the list until it has reported
    call->SetDeleteWhenDone(true);
    call->waitFinished(kQuickListing);
}

// Renaming.

bool TStCustomShellListView::ListMayEdit(const QModelIndex& index) const
{
    return index.isValid() && index.column() == lcName && m_options.Contains(loAllowRename)
        && (m_model->flags(index) & Qt::ItemIsEditable);
}

void TStCustomShellListView::EditName(int row)
{
    QAbstractItemView* view = CurrentView();
    const QModelIndex index = m_model->index(row, lcName);
    view->setCurrentIndex(index);
    view->edit(index);
}

// The rename runs on the folder's volume (a share may be slow); the row
// takes the new name when it is done, and keeps its selection.
void TStCustomShellListView::RenameItem(int row, const std::string& newName)
{
    if (row < 0 || row >= m_model->rowCount() || !m_folder)
        return;
    const ChildRecord& record = m_model->RecordAt(row);
    if (newName.empty() || newName == record.displayName || !(record.attributes & SFGAO_CANRENAME))
        return;
    struct Outcome {
        HResult result = E_FAIL;
        IdListPtr newRelative;
    };
    auto outcome = std::make_shared<Outcome>();
    const ShellFolderPtr parent = record.parent;
    auto relative = std::make_shared<IdListPtr>(ILClone(record.relative()));
    const std::string name = newName.substr(0, kLongestName);
    auto work = [parent, relative, name, outcome] {
        outcome->result = parent->SetNameOf(relative->get(), name, SHGDN_NORMAL, &outcome->newRelative);
    };
    auto then = [this, outcome, oldPath = record.parsingName, oldName = record.displayName,
                 serial = m_folderSerial] {
        if (failed(outcome->result))
            throw ESsShellError(ssscCannotRename, {oldName + ": " + shellErrorText(outcome->result)});
        if (serial != m_folderSerial || !outcome->newRelative)
            return;
        // The change report brings the same; the row need not wait for it.
        const IdListPtr renamed(ILCombine(m_folder->GetAbsoluteIdList(), outcome->newRelative.get()));
        TStShellItem oldItem(GetController());
        TStShellItem newItem(renamed.get(), GetController());
        if (const ChildRecord* old = m_model->FindRecord(oldPath)) {
            oldItem.FillFromRecord(*old);
            ItemRenamed(oldItem, newItem);
        }
        SelectPath(newItem.GetPath());
    };
    auto* call = new LineCall(currentShellNamespace().volumeKeyOf(m_folder->GetAbsoluteIdList()), std::move(work),
                              std::move(then), this); // owned by the list until it has reported
    call->SetDeleteWhenDone(true);
    WaitCursor busy;
    call->waitFinished(kQuickListing);
}

void TStCustomShellListView::SelectPath(const std::string& parsingName)
{
    const int row = m_model->RowOfPath(parsingName);
    if (row < 0)
        return;
    QAbstractItemView* view = CurrentView();
    const QModelIndex index = m_model->index(row, lcName);
    view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view->scrollTo(index);
}

// Move to Trash runs on the folder's volume; the rows go as the change
// reports come (or at once when the items are gone).
void TStCustomShellListView::DeleteSelection()
{
    if (!m_folder)
        return;
    struct Victim {
        IdListPtr absolute;
        std::string path;
        std::string name;
        bool allowed;
    };
    auto victims = std::make_shared<std::vector<Victim>>();
    for (int row : SelectedRows()) {
        const ChildRecord& record = m_model->RecordAt(row);
        victims->push_back({IdListPtr(ILClone(record.absolute.get())), record.parsingName, record.displayName,
                            (record.attributes & SFGAO_CANDELETE) && (record.attributes & SFGAO_FILESYSTEM)});
    }
    if (victims->empty())
        return;
    auto failures = std::make_shared<std::vector<std::string>>();
    auto removed = std::make_shared<std::vector<std::string>>();
    auto work = [victims, failures, removed] {
        for (const Victim& victim : *victims) {
            const HResult result = victim.allowed ? moveItemToTrash(victim.absolute.get(), victim.path)
                                                  : E_ACCESSDENIED;
            if (succeeded(result))
                removed->push_back(victim.path);
            else
                failures->push_back("Could not move \"" + displayTextFromBytes(victim.path) + "\" to the trash. "
                                    + shellErrorText(result));
        }
    };
    auto then = [this, failures, removed, serial = m_folderSerial] {
        if (serial == m_folderSerial) {
            for (const std::string& path : *removed)
                m_model->Remove(path);
        }
        if (failures->empty())
            return;
        std::string message;
        for (const std::string& failure : *failures)
            message += (message.empty() ? "" : "\n") + failure;
        if (IShellUi* ui = GetController()->GetShellUi())
            ui->showError("Move to Trash", message);
        else
            QtShellUi(this).showError("Move to Trash", message);
    };
    auto* call = new LineCall(currentShellNamespace().volumeKeyOf(m_folder->GetAbsoluteIdList()), std::move(work),
                              std::move(then), this); // owned by the list until it has reported
    call->SetDeleteWhenDone(true);
}

// The context menu.

void TStCustomShellListView::ShowContextMenu(const QPoint& globalPosition)
{
    if (!m_folder)
        return;
    // Copies: the rows may change while the menu is open.
    ShellFolderPtr folder;
    std::vector<IdListPtr> relatives;
    for (int row : SelectedRows()) {
        const ChildRecord& record = m_model->RecordAt(row);
        folder = record.parent;
        relatives.push_back(IdListPtr(ILClone(record.relative())));
    }
    if (relatives.empty()) { // over an empty place: the folder's own menu
        folder = m_folder->GetParentFolder();
        if (!folder || !m_folder->GetRelativeIdList() || ILIdSize(m_folder->GetAbsoluteIdList()) == 0)
            return;
        relatives.push_back(IdListPtr(ILClone(m_folder->GetRelativeIdList())));
    }
    std::vector<const ItemIdList*> lists;
    for (const IdListPtr& relative : relatives)
        lists.push_back(relative.get());
    TStContextMenuOptions options;
    options.allowRename = m_options.Contains(loAllowRename);
    options.extendedMenu = m_options.Contains(loExtendedMenu);
    const QPointer<TStCustomShellListView> alive(this);
    const QModelIndex current = CurrentView()->currentIndex();
    const int chosen = GetController()->ShowContextMenu(this, *folder, window(), globalPosition.x(),
                                                        globalPosition.y(), lists, options);
    if (alive && chosen == kRenameCommand && current.isValid() && relatives.size() == 1)
        EditName(current.row());
}

void TStCustomShellListView::ListContextMenu(QAbstractItemView& view, QContextMenuEvent* event)
{
    if (!m_options.Contains(loShellMenu)) {
        event->ignore();
        return;
    }
    QPoint at = event->globalPos();
    if (event->reason() == QContextMenuEvent::Mouse) {
        // A click on an empty place is about the folder, not the selection.
        if (!view.indexAt(event->pos()).isValid())
            view.clearSelection();
    } else { // the menu key: at the current row
        const QRect rect = view.visualRect(view.currentIndex());
        at = view.viewport()->mapToGlobal(rect.isValid() ? rect.bottomLeft() : QPoint(0, 0));
    }
    ShowContextMenu(at);
}

// Keys.

bool TStCustomShellListView::ListKeyPress(QAbstractItemView& view, QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_Backspace:
        if (modifiers != Qt::NoModifier)
            return false;
        GoUp();
        return true;
    case Qt::Key_Up:
        if (modifiers != Qt::AltModifier)
            return false;
        GoUp();
        return true;
    case Qt::Key_F5:
        Refresh();
        return true;
    case Qt::Key_F2:
        if (view.currentIndex().isValid())
            EditName(view.currentIndex().row());
        return true;
    case Qt::Key_Delete:
        if (modifiers != Qt::NoModifier)
            return false;
        DeleteSelection();
        return true;
    case Qt::Key_Escape:
        if (!IsLoading())
            return false;
        CancelListing();
        SetStatusText({});
        return true;
    default:
        return false;
    }
}
