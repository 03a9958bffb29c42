// SPDX-License-Identifier: MIT
#pragma once
// The shell file list: the children of one folder of the shell namespace,
// files and folders, as a table (Name, Size, Type, Modified, Attributes)
// or as icons. It is the file pane of a two-pane browser: linked to a
// folder tree (TStCustomShellTreeView::SetListView) it shows the folder
// selected there, and the tree follows the folders opened in it.
//
// The list never waits on a disk: the folder is listed on the listing
// producer's worker for its volume and its rows arrive in batches (a
// listing that ends within kQuickListing is shown complete at once, one
// still going after kFirstRowsAfter shows the rows it brought so far);
// choosing another folder cancels the listing under way. It stays true to
// the disk: items made, removed, renamed or changed there appear, go, move
// or change in place, and a burst that overflows the notification queue
// has the folder read again once it is over. Renaming, Move to Trash and
// drops run on a worker too.
//
// Keys: Enter (or a double click) opens a folder, or a file with its
// default application; Backspace goes to the parent folder; typing finds a
// name; Ctrl+A selects all; F2 renames; F5 reads the folder again; Delete
// moves the selection to the trash; the menu key or a right click shows
// the shell's context menu of the selection (of the folder itself over an
// empty place).

#include "platform/idlist/IdList.h"
#include "shell/controller/StShellController.h"
#include "shell/controller/StShellLinks.h"
#include "shell/list/StListFilter.h"
#include "shell/list/StListOptions.h"
#include "shell/list/StListViews.h"
#include "shell/notification/StNotifyEvents.h"

#include <QByteArray>
#include <QColor>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QWidget>

#include <chrono>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

class QItemSelectionModel;
class QStackedLayout;
class TStDataObject;
class TStShellFolder;
class TStShellItem;
class TStShellListModel;
class TStCustomShellNotification;
namespace dw::platform {
class IDropTarget;
struct ChildRecord;
struct ListingBatch;
}

using TStListItemEvent = std::function<void(QObject* Sender, TStShellItem* ShellItem, bool& Accept)>;
using TStListFolderEvent = std::function<void(QObject* Sender, TStShellFolder* Folder)>;
using TStListNotifyEvent = std::function<void(QObject* Sender)>;
// `DefaultAction` comes in true; a handler that sets it false keeps the
// list from opening the item.
using TStListActivatedEvent = std::function<void(QObject* Sender, TStShellItem* ShellItem, bool& DefaultAction)>;
using TStListShellNotifyEvent = std::function<void(QObject* Sender, TStShellItem* OldShellItem,
                                                   TStShellItem* NewShellItem, TStNotifyEventsSet Events)>;

class TStCustomShellListView : public QWidget,
                               public IStShellListTarget,
                               public IStShellListLink,
                               private IStListViewHost {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kQuickListing{25};
    static constexpr std::chrono::milliseconds kFirstRowsAfter{5};

    explicit TStCustomShellListView(QWidget* parent = nullptr);
    ~TStCustomShellListView() override;

    // The folder shown (null: none yet). Setting it shows that folder; the
    // linked tree follows.
    TStShellFolder* GetFolder() const { return m_folder.get(); }
    void SetFolder(const TStShellItem& folder);
    // The folder shown as its parsing name ("" when none). Setting a path
    // that does not parse raises ESsInvalidFolder, "Invalid folder" (from
    // the event that finds out, when the path's volume is slow to answer).
    std::string GetPath() const;
    void SetPath(const std::string& path);

    TStListOptions GetOptions() const { return m_options; }
    void SetOptions(TStListOptions value);
    // See TStListFilter; an expression that does not compile raises
    // ESsRegExError and leaves the filter as it was.
    QString GetFilter() const { return m_filter.GetText(); }
    void SetFilter(const QString& value);
    // When true, OnFilterItem is asked of every item.
    bool GetFiltered() const { return m_filtered; }
    void SetFiltered(bool value);
    QColor GetCompressedColor() const { return m_compressedColor; }
    void SetCompressedColor(const QColor& value);
    TStListColumn GetSortColumn() const;
    void SetSortColumn(TStListColumn column);
    Qt::SortOrder GetSortDirection() const;
    void SetSortDirection(Qt::SortOrder direction);
    TStViewStyle GetViewStyle() const { return m_viewStyle; }
    void SetViewStyle(TStViewStyle style);
    QString GetVersion() const { return QStringLiteral("1.02"); }

    TStListItemEvent OnFilterItem;
    TStListFolderEvent OnFolderChanged;
    TStListNotifyEvent OnSelectionChanged;
    TStListActivatedEvent OnItemActivated;
    TStListShellNotifyEvent OnShellChangeNotify;

    // The controller shared with a linked tree; the list makes one of its
    // own while it has none.
    TStCustomShellController* GetController();
    // Uses `controller` (owned by someone else) from now on; null goes back
    // to a controller of the list's own.
    void SetController(TStCustomShellController* controller);
    // Hands the list's own controller over to a tree that has none (the
    // list keeps using it).
    std::unique_ptr<TStCustomShellController> ReleaseController();

    // Rows, in the order shown.
    int GetItemCount() const;
    // A shell item for the row's record, owned by the caller.
    std::unique_ptr<TStShellItem> ItemAt(int row);
    std::vector<std::unique_ptr<TStShellItem>> SelectedItems();
    std::vector<int> SelectedRows() const;
    TStShellListModel& Model() const { return *m_model; }
    QAbstractItemView* CurrentView() const;
    // Whether a listing of the folder is under way.
    bool IsLoading() const { return m_listing != nullptr; }
    // What the view says over its empty area (loading, an unreadable folder).
    QString GetStatusText() const { return m_statusText; }
    // Why the folder shown could not be read ("Permission denied"); empty
    // when it could, or while it is being read.
    QString GetErrorText() const { return m_errorText; }

    // The default action of a row (what Enter and a double click do).
    void OpenItem(int row);
    // Shows the parent of the folder shown.
    void GoUp();
    // Reads the folder again; rows keep their selection.
    void Refresh();
    // Renames the row's item through its folder, on a worker (what ending
    // an in-place edit does). A refused rename raises ESsShellError.
    void RenameItem(int row, const std::string& newName);
    // Moves the selected items to the trash, on a worker; what could not be
    // moved is told in a message box.
    void DeleteSelection();
    // The shell context menu of the selection (of the folder itself when
    // nothing is selected) at a screen position.
    void ShowContextMenu(const QPoint& globalPosition);
    // What dragging the selection out carries (see TStDataObject), and the
    // DROPEFFECT_* bits every selected item allows; null when nothing is
    // selected.
    std::unique_ptr<TStDataObject> SelectionDragData(unsigned& allowedEffects);

    // IStShellListTarget: the controller's enumeration of a file list.
    bool ShowHidden() const override { return m_options.Contains(loShowHidden); }
    bool AddItem(std::unique_ptr<TStShellItem> item) override;
    void StartSearchAnimation() override;
    void StopSearchAnimation() override;

    // IStShellListLink: what a linked tree asks.
    void ShowFolderFromTree(const TStShellItem& folder) override;
    bool ShowsNoFolder() const override { return !m_folder; }
    bool DrivesTreeSelection() const override { return m_drivingTree; }

protected:
    // The class's own virtual operations.
    virtual void DoFilterItem(TStShellItem& item, bool& accept);
    virtual void DoShellChange(TStShellItem* oldItem, TStShellItem* newItem, TStNotifyEventsSet events);
    virtual bool DoCustomItemDraw(const QModelIndex& index, QColor& textColor) const;
    virtual void DoItemActivated(TStShellItem& item, bool& defaultAction);
    virtual void DoFolderChanged();

private:
    friend class TStShellListDelegate;
    struct Listing;
    struct PendingReads;

    // Building.
    void BuildViews();
    void SetUpView(QAbstractItemView& view);
    void AttachModel(QAbstractItemView& view);
    void DetachModel(QAbstractItemView& view);
    void SortBy(TStListColumn column, Qt::SortOrder order);
    void ApplyOptionsToViews();
    void ApplyViewStyle();
    void AdoptController(TStCustomShellController* controller);

    // Showing a folder.
    void ShowFolder(dw::platform::IdListPtr absolute, bool tellTree);
    void TellTree();
    bool Admits(const dw::platform::ChildRecord& record);
    void Readmit();
    dw::platform::ListingRequest FolderRequest();
    void SetStatusText(const QString& text);

    // Listing (StListListing.cpp).
    void StartListing(bool reread);
    void TakeBatch(dw::platform::ListingBatch&& batch);
    void ShowPending();
    void ScheduleShowing(int delay);
    void ListingEnded(const dw::platform::ListingBatch& last);
    void CancelListing();
    void NormalizeKeys(std::vector<dw::platform::ChildRecord>& records) const;

    // Change notices (StListNotify.cpp).
    void WatchFolder();
    void ShellChanged(TStShellItem* oldItem, TStShellItem* newItem, TStNotifyEventsSet events);
    bool InShownFolder(const TStShellItem& item) const;
    bool IsShownFolder(const TStShellItem& item) const;
    void ItemRenamed(const TStShellItem& oldItem, const TStShellItem& newItem);
    void ShownFolderRenamed(const TStShellItem& newItem);
    void QueueRead(const TStShellItem& item);
    void ReadQueued();
    void TakeReadRecords(std::vector<dw::platform::ChildRecord> records, const std::vector<std::string>& asked);
    void ReportsDropped();

    // Keys, renaming, the menu (StListEditing.cpp).
    bool ListKeyPress(QAbstractItemView& view, QKeyEvent* event) override;
    void ListContextMenu(QAbstractItemView& view, QContextMenuEvent* event) override;
    bool ListMayEdit(const QModelIndex& index) const override;
    QString ListStatusText() const override { return m_statusText; }
    void EditName(int row);
    void SelectPath(const std::string& parsingName);

    // Drag and drop (StListDragDrop.cpp).
    void ListStartDrag(QAbstractItemView& view) override;
    void ListDragEnter(QAbstractItemView& view, QDragEnterEvent* event) override;
    void ListDragMove(QAbstractItemView& view, QDragMoveEvent* event) override;
    void ListDragLeave(QAbstractItemView& view, QDragLeaveEvent* event) override;
    void ListDrop(QAbstractItemView& view, QDropEvent* event) override;
    unsigned SetDropTarget(const QPersistentModelIndex& row, unsigned keyState, unsigned allowed);
    void EndDragOver();

    TStShellListModel* m_model;
    QStackedLayout* m_stack = nullptr;
    TStListDetailsView* m_details = nullptr;
    TStListIconView* m_icons = nullptr;
    QItemSelectionModel* m_selection = nullptr;
    QByteArray m_columnWidths; // the details view's header, while another style shows

    TStListOptions m_options = kDefaultListOptions;
    TStListFilter m_filter;
    bool m_filtered = false;
    QColor m_compressedColor = QColor(0, 0, 255);
    TStViewStyle m_viewStyle = vsDetails;

    QPointer<TStCustomShellController> m_controller;
    std::unique_ptr<TStCustomShellController> m_ownedController;
    std::unique_ptr<TStCustomShellNotification> m_notifier;
    std::unique_ptr<TStShellFolder> m_folder;
    std::uint64_t m_folderSerial = 0; // which folder work started for is still shown
    bool m_keyedNames = false;        // the folder's records carry collation keys
    std::unique_ptr<Listing> m_listing;
    std::uint64_t m_listingSerial = 0;
    std::unique_ptr<PendingReads> m_reads;
    QString m_statusText;
    QString m_errorText;
    bool m_drivingTree = false;

    // The drag over the list: its items, the drop target and its row (an
    // invalid index: the folder shown).
    std::vector<std::string> m_dragPaths;
    std::unique_ptr<dw::platform::IDropTarget> m_dropTarget;
    QPersistentModelIndex m_dropRow;
    bool m_dropTargetSet = false;
    bool m_draggingOver = false;
};
