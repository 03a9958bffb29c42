// SPDX-License-Identifier: MIT
#pragma once
// The shell folder tree: the shell namespace as a tree of folders, filled
// lazily (a node's children are read when it is first expanded), sorted in
// the namespace's order, kept in step with the disk by a change
// notification component, with renaming, the shell's context menu, and
// drag and drop.
//
// Children are read through the listing producer, off this thread. A
// listing that ends within kQuickListing behaves as if it had been made on
// the spot (busy cursor, nodes in place when the call returns); a slower
// one (a server that does not answer, a folder of 100,000 entries) goes on
// in the background: the node shows that it is loading, its children arrive
// in batches, already in order, and collapsing it or pressing Esc cancels.

#include "base/component/SsComponent.h"
#include "shell/controller/StShellController.h"
#include "shell/notification/StNotifyEvents.h"
#include "shell/notification/StRootFolderKinds.h"
#include "shell/tree/StTreeOptions.h"
#include "platform/idlist/IdList.h"

#include <QColor>
#include <QPointer>
#include <QTimer>
#include <QTreeView>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>

class TStShellItem;
class TStShellFolder;
class TStShellTreeModel;
class TStCustomShellListView;
class TStCustomShellNotification;
struct TStTreeNode;
namespace dw::platform {
class IDropTarget;
class ListingDelivery;
class LineCall;
struct ListingBatch;
}

using TStEnumItemEvent = std::function<void(QObject* Sender, TStShellItem* ShellItem, bool& Accept)>;
using TStFolderSelectedEvent = std::function<void(QObject* Sender, TStShellFolder* Folder)>;
using TStShellNotifyEvent3 = std::function<void(QObject* Sender, TStShellItem* OldShellItem,
                                                TStShellItem* NewShellItem, TStNotifyEventsSet Events)>;

class TStCustomShellTreeView : public QTreeView, private IStShellTreeTarget, private IStShellTreeLink {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kQuickListing{150};

    explicit TStCustomShellTreeView(QWidget* parent = nullptr);
    ~TStCustomShellTreeView() override;

    // Published properties.
    QColor GetCompressedColor() const { return m_compressedColor; }
    void SetCompressedColor(const QColor& value);
    int GetExpandInterval() const { return m_expandInterval; }
    void SetExpandInterval(int value) { m_expandInterval = value; }
    bool GetFiltered() const { return m_filtered; }
    void SetFiltered(bool value);
    TStTreeOptions GetOptions() const { return m_options; }
    void SetOptions(TStTreeOptions value);
    const std::string& GetRootFolder() const { return m_rootFolder; }
    void SetRootFolder(const std::string& value);
    TStSpecialRootFolder GetSpecialRootFolder() const { return m_specialRootFolder; }
    void SetSpecialRootFolder(TStSpecialRootFolder value);
    const std::string& GetStartInFolder() const { return m_startInFolder; }
    void SetStartInFolder(const std::string& value);
    TStSpecialRootFolder GetSpecialStartInFolder() const { return m_specialStartInFolder; }
    void SetSpecialStartInFolder(TStSpecialRootFolder value);
    QString GetVersion() const { return QStringLiteral("1.02"); }
    // The inherited tree-view settings the form sets.
    bool GetHotTrack() const { return m_hotTrack; }
    void SetHotTrack(bool value);
    bool GetAutoExpand() const { return m_autoExpand; }
    void SetAutoExpand(bool value) { m_autoExpand = value; }
    bool GetReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool value) { m_readOnly = value; }
    bool GetShowRoot() const { return rootIsDecorated(); }
    void SetShowRoot(bool value) { setRootIsDecorated(value); }

    TStEnumItemEvent OnFilterItem;
    TStFolderSelectedEvent OnFolderSelected;
    TStShellNotifyEvent3 OnShellChangeNotify;

    // Opens the folder `path` names: expands the nodes down to it and
    // selects it. "Invalid folder" (ESsInvalidFolder) when it does not parse
    // or is not under the root; the selection then stays as it was. When a
    // level is slow the rest goes on in the background; a failure found
    // then is raised from the event that found it.
    void OpenAtPath(const std::string& path);
    using QTreeView::edit;
    // With `onlyIfPresent`, selects the node showing `item` and answers
    // whether there was one; without, opens the folder and answers true.
    // A linked list is not told of this selection.
    bool SelectFolder(const TStShellItem& item, bool onlyIfPresent) override;

    // The linked file list (StTreeListLink.cpp): it shows the folder
    // selected here, and this tree selects the folder opened there. A list
    // that is destroyed unlinks itself.
    TStCustomShellListView* GetListView() const;
    void SetListView(TStCustomShellListView* list);
    // Reads the children of `node` (null: the top node) again, keeping the
    // nodes below it that were expanded expanded.
    void RefreshNode(TStTreeNode* node);
    // Renames the node's item through its parent folder (what ending an
    // in-place edit does), then shows the parent read again with the node
    // of the new name selected. A refused rename raises ESsShellError.
    void RenameNode(TStTreeNode& node, const std::string& newName);

    // Also sideways, when deep levels made the tree wider than its window.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

    TStTreeNode* NodeByIdList(const dw::platform::ItemIdList* absolute) const;
    TStTreeNode* NodeByPath(const std::string& path) const;
    TStShellFolder* FolderOf(const TStTreeNode* node) const;
    TStTreeNode* SelectedNode() const;
    // The folder last selected (the current folder).
    TStShellFolder* GetCurrentFolder() const;
    TStCustomShellController* GetController() const { return m_controller; }
    TStShellTreeModel& Model() const { return *m_model; }
    TStCustomShellNotification* GetNotifier() const { return m_notifier.get(); }

    // Creates the nodes now if the window has not shown yet (the tree is
    // otherwise populated when it first shows).
    void EnsurePopulated();
    // Whether a listing of some node's children is under way.
    bool IsLoading() const { return !m_listings.empty() || m_opening != nullptr; }

    // Begin and end loading from a form description: setters then only store.
    void BeginLoading() { m_loading = true; }
    virtual void Loaded();

protected:
    // The class's own virtual operations, in slot order.
    virtual void DoFilterItem(TStShellItem& item, bool& accept);
    virtual void DoShellChange(TStShellItem* oldItem, TStShellItem* newItem, TStNotifyEventsSet events);
    virtual bool DoCustomItemDraw(const TStTreeNode& node, QColor& textColor) const;
    virtual void Populate();

    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class TStShellTreeDelegate;
    struct Listing;

    // IStShellTreeTarget: what the controller's enumeration asks.
    bool ShowFiles() const override;
    bool ShowHidden() const override;
    bool HasFilterHook() const override;
    void FilterItem(TStShellFolder& item, bool& accept) override;
    TStTreeNodeHandle AddChildNode(TStTreeNodeHandle parent, const std::string& text,
                                   std::unique_ptr<TStShellFolder> folder, const TStNodeImages& images) override;
    void MarkHasChildren(TStTreeNodeHandle node) override;

    // Populating and the first paint.
    void ClearNodes();
    TStTreeNode* AddRootNode(const dw::platform::ItemIdList* absolute);
    dw::platform::IdListPtr RootIdList() const;
    dw::platform::IdListPtr StartFolderIdList() const;
    void ExpandChainOf(const dw::platform::ItemIdList* absolute);
    void ApplyStartFolder();

    // Reading children.
    void NodeExpanded(const QModelIndex& index);
    void NodeCollapsed(const QModelIndex& index);
    // Starts listing `node`'s children; waits for them up to `patience`
    // (none: the listing goes on in the background from the start). `then`
    // runs once they are all in (not when the listing fails or is
    // cancelled).
    void ReadChildren(TStTreeNode& node, std::function<void()> then = {},
                      std::chrono::milliseconds patience = kQuickListing);
    void TakeBatch(TStTreeNode& node, dw::platform::ListingBatch&& batch);
    void FlushPending(TStTreeNode& node, Listing& listing);
    void ShowPending(TStTreeNode& node, Listing& listing);
    void ScheduleShowing(TStTreeNode& node, Listing& listing, int delay);
    void ListingEnded(TStTreeNode& node, const dw::platform::ListingBatch& last);
    void CancelListing(TStTreeNode& node);
    void ForgetChildren(TStTreeNode& node);
    void NodeGoing(TStTreeNode& node);
    void TakeOverReReadsWithin(const TStTreeNode& node, std::vector<dw::platform::IdListPtr>& expandAfter);
    // A node for a folder about to join the list; it shows the folder's name.
    std::unique_ptr<TStTreeNode> MakeNode(const TStNodeImages& images, bool hasChildren) const;
    void ExpandNode(TStTreeNode& node, std::function<void()> then = {});

    // Selection and opening.
    void RaiseChange(TStTreeNode& node);
    // The selected node's list, when it lies below `node`.
    std::shared_ptr<const dw::platform::IdListPtr> SelectionBelow(const TStTreeNode& node) const;
    void Reselect(const std::shared_ptr<const dw::platform::IdListPtr>& wanted);
    // Makes `node` the selected node; quietly: without the change handling.
    void SelectNode(TStTreeNode& node, bool quietly = false);
    void OpenIdList(const std::shared_ptr<struct OpenChain>& chain, dw::platform::IdListPtr absolute);
    void FinishOpen(const std::shared_ptr<struct OpenChain>& chain);

    // Renaming and the menu.
    bool MayRename(const TStTreeNode& node) const;
    void ShowShellMenu(const QPoint& globalPosition);
    void RefreshSelected();

    // Change notices.
    void CreateNotifier();
    void ShellChanged(TStShellItem* oldItem, TStShellItem* newItem, TStNotifyEventsSet events);
    void ItemCreated(TStShellItem& item, bool drive);
    void ItemDeleted(const TStShellItem& item);
    void ForgetUnshownChild(const dw::platform::ItemIdList* absolute);
    TStTreeNode* LoadingParentOf(const dw::platform::ItemIdList* absolute) const;
    void ItemRenamed(const TStShellItem& oldItem, const TStShellItem& newItem);
    void FolderUpdated(const TStShellItem& item);
    void ReportsDropped(const std::vector<dw::platform::IdListPtr>& folders, bool all);
    void RefreshIfExpanded(TStTreeNode* node);
    void RemoveNode(TStTreeNode& node);

    // The linked list.
    void TellListView(TStShellFolder* folder);
    void HandFirstFolderToListView();
    void UnlinkListView();

    // Drag and drop.
    TStTreeNode* NodeAtPoint(const QPoint& position) const;
    // Makes `node` the drop target: marks it, hands the drag on to its
    // folder's drop target, restarts the expand timer; answers the effect.
    unsigned SetDropTarget(TStTreeNode* node, unsigned keyState, unsigned allowed);
    void EndDragOver();
    void AutoScroll(const QPoint& position);
    void ScrollWhileHeld();
    void ScrollOneNode(int direction);
    void ExpandDropTarget();

    // Room for names on deep levels.
    void ScheduleFitIndentation();
    void FitIndentation();
    int DeepestShownLevel() const;

    TStShellTreeModel* m_model;
    QColor m_compressedColor = QColor(0, 0, 255);
    int m_expandInterval = 2000;
    bool m_filtered = false;
    TStTreeOptions m_options = kDefaultTreeOptions;
    std::string m_rootFolder;
    TStSpecialRootFolder m_specialRootFolder = sfDesktop;
    std::string m_startInFolder;
    TStSpecialRootFolder m_specialStartInFolder = sfNone;
    bool m_hotTrack = false;
    bool m_autoExpand = false;
    bool m_readOnly = false;

    TStCustomShellController* m_controller = nullptr;
    std::unique_ptr<TStCustomShellController> m_ownedController;
    std::unique_ptr<TStCustomShellNotification> m_notifier;
    TStShellFolder* m_currentFolder = nullptr;
    int m_rootIndex = -1;
    TStTreeNode* m_dropTargetNode = nullptr;
    double m_shellVersion = 0;

    bool m_startApplied = false;
    bool m_suppressListUpdate = false;
    bool m_ignoreNextNotification = false;
    bool m_draggingOver = false;
    bool m_recreatingWindow = false;
    bool m_loading = false;
    bool m_populated = false;

    std::unordered_map<TStTreeNode*, std::unique_ptr<Listing>> m_listings;
    std::shared_ptr<struct OpenChain> m_opening;
    // The folder last opened by OpenAtPath, and its list.
    std::string m_openedPath;
    dw::platform::IdListPtr m_openedList;
    bool m_selectingQuietly = false;
    // The folder a re-read under way selects again when it is done.
    std::shared_ptr<const dw::platform::IdListPtr> m_reselect;

    // The drag over the tree: its items, the target folder's drop target,
    // the timers that expand a hovered node and scroll near the edges.
    std::vector<std::string> m_dragPaths;
    std::unique_ptr<dw::platform::IDropTarget> m_dropTarget;
    QTimer m_expandTimer;
    QTimer m_scrollTimer;
    QPoint m_dragPosition;
    unsigned m_dragKeyState = 0;
    unsigned m_dragAllowed = 0;

    // The nodes expanded now, and the indentation the tree's owner chose,
    // which deep levels in a narrow tree get less of.
    std::unordered_set<const TStTreeNode*> m_expandedNodes;
    QTimer m_fitTimer;
    int m_fullIndentation = 0;
    int m_fittedIndentation = 0;
    int m_fullMinimumSectionSize = 0;

    QPointer<TStCustomShellListView> m_listView;
};
