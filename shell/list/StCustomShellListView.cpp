// SPDX-License-Identifier: MIT
// The file list's construction, properties, controller and the folder it
// shows.

#include "shell/list/StCustomShellListView.h"

#include "base/exceptions/SsBase.h"
#include "platform/fileinfo/FileTypes.h"
#include "platform/fileops/DropTarget.h"
#include "platform/listing/LineCall.h"
#include "platform/namespace/ShellNamespace.h"
#include "shell/items/StShellFolder.h"
#include "shell/list/StListColumns.h"
#include "shell/list/StListListing.h"
#include "shell/list/StPendingReads.h"
#include "shell/list/StShellListDelegate.h"
#include "shell/list/StShellListModel.h"
#include "shell/notification/StShellNotification.h"

#include <QDateTime>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QSignalBlocker>
#include <QStackedLayout>

using namespace dw::platform;

namespace {

struct ColumnWidth {
    TStListColumn column;
    int width;
};

constexpr ColumnWidth kColumnWidths[] = {
    {lcName, 260}, {lcSize, 90}, {lcType, 170}, {lcModified, 150}, {lcAttributes, 80},
};

const QString kSearching = QStringLiteral("Searching\u2026");

} // namespace

TStCustomShellListView::TStCustomShellListView(QWidget* parent)
    : QWidget(parent), m_model(new TStShellListModel(this)), m_reads(std::make_unique<PendingReads>())
{
    m_model->SetAdmission([this](const ChildRecord& record) { return Admits(record); });
    m_model->SetDesktopFolder(GetController()->GetDesktopFolder());
    BuildViews();
    resize(500, 300);
}

TStCustomShellListView::~TStCustomShellListView()
{
    m_listing.reset();
    m_notifier.reset();
    m_dropTarget.reset();
    SetController(nullptr); // leaves a shared controller without links to this list
    m_ownedController.reset();
    // The views go before QWidget's destructor hides them: hidden, they lay
    // their rows out again through the delegate, which asks this list.
    delete m_details;
    m_details = nullptr;
    delete m_icons;
    m_icons = nullptr;
}

void TStCustomShellListView::BuildViews()
{
    m_stack = new QStackedLayout(this);
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_selection = new QItemSelectionModel(m_model, this);
    m_details = new TStListDetailsView(*this, this);
    m_details->setRootIsDecorated(false);
    m_details->setItemsExpandable(false);
    m_details->setUniformRowHeights(true);
    m_details->setAllColumnsShowFocus(true);
    m_details->setSortingEnabled(true);
    m_details->header()->setStretchLastSection(false);
    m_details->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_icons = new TStListIconView(*this, this);
    m_icons->setUniformItemSizes(true);
    m_icons->setLayoutMode(QListView::Batched);
    m_icons->setBatchSize(2000);
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(m_details), static_cast<QAbstractItemView*>(m_icons)})
        SetUpView(*view);
    m_stack->addWidget(m_details);
    m_stack->addWidget(m_icons);
    connect(m_selection, &QItemSelectionModel::selectionChanged, this, [this] {
        if (OnSelectionChanged)
            OnSelectionChanged(this);
    });
    AttachModel(*m_details);
    for (const ColumnWidth& column : kColumnWidths)
        m_details->header()->resizeSection(column.column, column.width);
    m_columnWidths = m_details->header()->saveState();
    ApplyOptionsToViews();
    ApplyViewStyle();
}

// Only the view shown has the model: a hidden view would lay out every row
// again whenever rows come, for nothing. Both share one selection.
void TStCustomShellListView::AttachModel(QAbstractItemView& view)
{
    if (view.model() == m_model)
        return;
    if (&view == m_details) {
        // A sorting view sorts its new model by the header's indicator,
        // which starts out descending: it must say the model's order first.
        const QSignalBlocker quiet(m_details->header());
        m_details->header()->setSortIndicator(m_model->GetSortColumn(), m_model->GetSortOrder());
    }
    view.setModel(m_model);
    view.setSelectionModel(m_selection);
    if (&view != m_details)
        return;
    QHeaderView* header = m_details->header();
    header->restoreState(m_columnWidths);
    const QSignalBlocker quiet(header); // the rows are in this order already
    header->setSortIndicator(m_model->GetSortColumn(), m_model->GetSortOrder());
}

void TStCustomShellListView::DetachModel(QAbstractItemView& view)
{
    if (view.model() != m_model)
        return;
    if (&view == m_details)
        m_columnWidths = m_details->header()->saveState();
    view.setModel(nullptr);
}

void TStCustomShellListView::SetUpView(QAbstractItemView& view)
{
    view.setItemDelegate(new TStShellListDelegate(this));
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setDropIndicatorShown(false);
    view.setDragDropMode(QAbstractItemView::DragDrop);
    view.setDefaultDropAction(Qt::MoveAction);
    view.setTextElideMode(Qt::ElideMiddle);
    connect(&view, &QAbstractItemView::activated, this, [this](const QModelIndex& index) { OpenItem(index.row()); });
}

void TStCustomShellListView::ApplyOptionsToViews()
{
    const auto selection = m_options.Contains(loMultiSelect) ? QAbstractItemView::ExtendedSelection
                                                             : QAbstractItemView::SingleSelection;
    const auto editing = m_options.Contains(loAllowRename)
        ? QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked
        : QAbstractItemView::NoEditTriggers;
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(m_details), static_cast<QAbstractItemView*>(m_icons)}) {
        view->setSelectionMode(selection);
        view->setEditTriggers(editing);
        view->setDragEnabled(m_options.Contains(loAllowDrag));
        view->setAcceptDrops(m_options.Contains(loAllowDrop));
        view->viewport()->update();
    }
}

void TStCustomShellListView::ApplyViewStyle()
{
    if (m_viewStyle == vsDetails) {
        DetachModel(*m_icons);
        AttachModel(*m_details);
        m_stack->setCurrentWidget(m_details);
        setFocusProxy(m_details);
        return;
    }
    DetachModel(*m_details);
    AttachModel(*m_icons);
    const bool large = m_viewStyle == vsLargeIcons;
    m_icons->setViewMode(large ? QListView::IconMode : QListView::ListMode);
    m_icons->setFlow(m_viewStyle == vsList ? QListView::TopToBottom : QListView::LeftToRight);
    m_icons->setWrapping(true);
    m_icons->setResizeMode(QListView::Adjust);
    m_icons->setMovement(QListView::Static);
    m_icons->setWordWrap(large);
    const int iconSize = large ? 48 : 16;
    m_icons->setIconSize(QSize(iconSize, iconSize));
    m_icons->setGridSize(large ? QSize(112, 88) : QSize());
    m_icons->setSpacing(large ? 0 : 2);
    m_stack->setCurrentWidget(m_icons);
    setFocusProxy(m_icons);
}

QAbstractItemView* TStCustomShellListView::CurrentView() const
{
    return m_viewStyle == vsDetails ? static_cast<QAbstractItemView*>(m_details)
                                    : static_cast<QAbstractItemView*>(m_icons);
}

// Properties.

void TStCustomShellListView::SetOptions(TStListOptions value)
{
    const TStListOptions old = m_options;
    m_options = value;
    ApplyOptionsToViews();
    const bool listingChanged = old.Contains(loShowHidden) != value.Contains(loShowHidden)
        || old.Contains(loShowFolders) != value.Contains(loShowFolders);
    if (listingChanged && m_folder)
        StartListing(false);
}

void TStCustomShellListView::SetFilter(const QString& value)
{
    TStListFilter filter(value); // raises before anything changes
    m_filter = std::move(filter);
    Readmit();
}

void TStCustomShellListView::SetFiltered(bool value)
{
    if (m_filtered == value)
        return;
    m_filtered = value;
    Readmit();
}

void TStCustomShellListView::SetCompressedColor(const QColor& value)
{
    m_compressedColor = value;
    if (m_options.Contains(loColorCompressed))
        CurrentView()->viewport()->update();
}

TStListColumn TStCustomShellListView::GetSortColumn() const
{
    return m_model->GetSortColumn();
}

void TStCustomShellListView::SetSortColumn(TStListColumn column)
{
    SortBy(column, m_model->GetSortOrder());
}

// Through the header when it shows, so that its indicator follows.
void TStCustomShellListView::SortBy(TStListColumn column, Qt::SortOrder order)
{
    if (m_details->model() == m_model)
        m_details->sortByColumn(column, order);
    else
        m_model->sort(column, order);
}

Qt::SortOrder TStCustomShellListView::GetSortDirection() const
{
    return m_model->GetSortOrder();
}

void TStCustomShellListView::SetSortDirection(Qt::SortOrder direction)
{
    if (direction != Qt::AscendingOrder && direction != Qt::DescendingOrder)
        throw ESsShellError(ssscInvalidSortDirection);
    SortBy(m_model->GetSortColumn(), direction);
}

void TStCustomShellListView::SetViewStyle(TStViewStyle style)
{
    const bool hadFocus = CurrentView()->hasFocus();
    m_viewStyle = style;
    ApplyViewStyle();
    CurrentView()->scrollTo(CurrentView()->currentIndex());
    if (hadFocus)
        CurrentView()->setFocus();
}

// The controller.

TStCustomShellController* TStCustomShellListView::GetController()
{
    if (!m_controller) { // none yet, or the tree that owned the shared one is gone
        m_ownedController = std::make_unique<TStCustomShellController>();
        AdoptController(m_ownedController.get());
    }
    return m_controller;
}

void TStCustomShellListView::AdoptController(TStCustomShellController* controller)
{
    m_controller = controller;
    controller->SetListTarget(this);
    controller->SetListLink(this);
    m_model->SetDesktopFolder(controller->GetDesktopFolder());
}

void TStCustomShellListView::SetController(TStCustomShellController* controller)
{
    if (m_controller && m_controller != controller) {
        if (m_controller->GetListTarget() == this)
            m_controller->SetListTarget(nullptr);
        if (m_controller->GetListLink() == this)
            m_controller->SetListLink(nullptr);
    }
    m_controller = nullptr;
    if (controller && controller != m_ownedController.get())
        m_ownedController.reset();
    if (controller)
        AdoptController(controller);
}

std::unique_ptr<TStCustomShellController> TStCustomShellListView::ReleaseController()
{
    GetController();
    return std::move(m_ownedController); // m_controller keeps pointing at it
}

// Rows and items.

int TStCustomShellListView::GetItemCount() const
{
    return m_model->rowCount();
}

std::unique_ptr<TStShellItem> TStCustomShellListView::ItemAt(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return nullptr;
    auto item = std::make_unique<TStShellItem>(GetController());
    item->FillFromRecord(m_model->RecordAt(row));
    return item;
}

std::vector<int> TStCustomShellListView::SelectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex& index : m_selection->selectedRows(lcName))
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::vector<std::unique_ptr<TStShellItem>> TStCustomShellListView::SelectedItems()
{
    std::vector<std::unique_ptr<TStShellItem>> items;
    for (int row : SelectedRows())
        items.push_back(ItemAt(row));
    return items;
}

// The folder shown.

std::string TStCustomShellListView::GetPath() const
{
    return m_folder ? m_folder->GetPath() : std::string();
}

void TStCustomShellListView::SetFolder(const TStShellItem& folder)
{
    ShowFolder(IdListPtr(ILClone(folder.GetAbsoluteIdList())), true);
}

void TStCustomShellListView::SetPath(const std::string& path)
{
    // Parsed on the path's volume: one that does not answer must not hold
    // the window. A quick answer is waited for, as if parsed on the spot.
    const std::uint64_t serial = ++m_folderSerial;
    auto parsed = std::make_shared<IdListPtr>();
    auto* call = new LineCall(
        currentShellNamespace().volumeKeyOfParsingName(path),
        [path, parsed] { *parsed = parsingNameToIdList(path); },
        [this, parsed, serial] {
            if (serial != m_folderSerial)
                return; // another folder was chosen meanwhile
            if (!*parsed)
                throw ESsInvalidFolder(ssscInvalidFolder);
            ShowFolder(std::move(*parsed), true);
        },
        this); // owned by the list until it has reported
    call->SetDeleteWhenDone(true);
    call->waitFinished(kQuickListing);
}

void TStCustomShellListView::ShowFolderFromTree(const TStShellItem& folder)
{
    if (m_folder && ILIsEqual(m_folder->GetAbsoluteIdList(), folder.GetAbsoluteIdList()))
        return;
    ShowFolder(IdListPtr(ILClone(folder.GetAbsoluteIdList())), false);
}

void TStCustomShellListView::ShowFolder(IdListPtr absolute, bool tellTree)
{
    if (!absolute)
        return;
    ++m_folderSerial;
    CancelListing();
    EndDragOver();
    m_notifier.reset();
    *m_reads = PendingReads{};
    m_folder = std::make_unique<TStShellFolder>(absolute.get(), GetController());
    m_model->Clear();
    SetStatusText({});
    WatchFolder();
    StartListing(false);
    if (tellTree)
        TellTree();
    DoFolderChanged();
}

// The linked tree selects the folder the list opened; it does not tell the
// list back.
void TStCustomShellListView::TellTree()
{
    IStShellTreeLink* tree = m_controller ? m_controller->GetTreeLink() : nullptr;
    if (!tree || !m_folder)
        return;
    const bool was = m_drivingTree;
    m_drivingTree = true;
    try {
        tree->SelectFolder(*m_folder, false);
    } catch (const ESsInvalidFolder&) {
        // Not under the tree's root: the tree cannot show it, the list can.
    }
    m_drivingTree = was;
}

void TStCustomShellListView::GoUp()
{
    if (!m_folder)
        return;
    IdListPtr parent(ILClone(m_folder->GetAbsoluteIdList()));
    if (parent && ILIdSize(parent.get()) != 0 && ILRemoveLastID(parent.get()))
        ShowFolder(std::move(parent), true);
}

void TStCustomShellListView::Refresh()
{
    if (!m_folder)
        return;
    if (m_listing) {
        m_listing->changedMeanwhile = true;
        return;
    }
    StartListing(true);
}

ListingRequest TStCustomShellListView::FolderRequest()
{
    ListingRequest request = GetController()->FileListRequest(m_folder->GetAbsoluteIdList());
    request.flags = SHCONTF_NONFOLDERS;
    if (m_options.Contains(loShowFolders))
        request.flags |= SHCONTF_FOLDERS;
    if (m_options.Contains(loShowHidden))
        request.flags |= SHCONTF_INCLUDEHIDDEN;
    return request;
}

void TStCustomShellListView::SetStatusText(const QString& text)
{
    if (m_statusText == text)
        return;
    m_statusText = text;
    CurrentView()->viewport()->update();
}

// Which records are shown: every folder; files whose name passes the
// filter; and, when Filtered, what OnFilterItem accepts.
bool TStCustomShellListView::Admits(const ChildRecord& record)
{
    if (!IsFolderRecord(record) && !m_filter.IsEmpty()
        && !m_filter.Matches(QString::fromStdString(ShownNameOf(record))))
        return false;
    if (!m_filtered || !OnFilterItem)
        return true;
    TStShellItem item(GetController());
    item.FillFromRecord(record);
    bool accept = true;
    DoFilterItem(item, accept);
    return accept;
}

void TStCustomShellListView::Readmit()
{
    const QModelIndex current = CurrentView()->currentIndex();
    const std::string currentPath = current.isValid() ? m_model->RecordAt(current.row()).parsingName : std::string();
    m_model->Readmit();
    if (!currentPath.empty())
        SelectPath(currentPath);
}

// The controller's enumeration (mode 1) hands items over one by one, on
// the calling thread.
bool TStCustomShellListView::AddItem(std::unique_ptr<TStShellItem> item)
{
    if (!item)
        return false;
    ChildRecord record;
    record.absolute = shareIdList(IdListPtr(ILClone(item->GetAbsoluteIdList())));
    record.parent = item->GetParentFolder();
    record.displayName = item->GetDisplayName();
    record.parsingName = item->GetPath();
    const std::pair<bool, SfgaoFlags> bits[] = {
        {item->IsFolder(), SFGAO_FOLDER},     {item->IsFileSystem(), SFGAO_FILESYSTEM},
        {item->IsLink(), SFGAO_LINK},         {item->IsShared(), SFGAO_SHARE},
        {item->IsHidden(), SFGAO_HIDDEN},     {item->IsCompressed(), SFGAO_COMPRESSED},
        {item->CanRename(), SFGAO_CANRENAME},
    };
    for (const auto& [set, bit] : bits)
        record.attributes |= set ? bit : 0;
    record.knownAttributes = kKindAttributes | SFGAO_HIDDEN | SFGAO_COMPRESSED | SFGAO_CANRENAME;
    record.iconIndex = item->GetIconIndex();
    record.openIconIndex = item->GetOpenIconIndex();
    record.overlayIndex = item->GetOverlayIndex();
    if (item->IsFileSystem()) {
        const std::int64_t size = item->GetSize();
        // The item keeps its time as a date-time number (days since
        // 1899-12-30, local time).
        const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0));
        const qint64 seconds = epoch.addMSecs(qint64(item->GetModified() * 86400000.0)).toSecsSinceEpoch();
        record.file = ChildFileFacts{std::uint64_t(std::max<std::int64_t>(size, 0)), seconds, 0, item->GetAttributes()};
        if (!IsFolderRecord(record))
            record.typeIndex = fileTypeOfName(record.parsingName).typeIndex;
    }
    const std::string path = record.parsingName;
    std::vector<ChildRecord> one;
    one.push_back(std::move(record));
    NormalizeKeys(one);
    m_model->Merge(std::move(one));
    return m_model->RowOfPath(path) >= 0;
}

void TStCustomShellListView::StartSearchAnimation()
{
    SetStatusText(kSearching);
}

void TStCustomShellListView::StopSearchAnimation()
{
    if (m_statusText == kSearching)
        SetStatusText({});
}

// The class's virtual operations.

void TStCustomShellListView::DoFilterItem(TStShellItem& item, bool& accept)
{
    if (m_filtered && OnFilterItem)
        OnFilterItem(this, &item, accept);
}

void TStCustomShellListView::DoShellChange(TStShellItem* oldItem, TStShellItem* newItem, TStNotifyEventsSet events)
{
    if (OnShellChangeNotify)
        OnShellChangeNotify(this, oldItem, newItem, events);
}

bool TStCustomShellListView::DoCustomItemDraw(const QModelIndex& index, QColor& textColor) const
{
    if (!m_options.Contains(loColorCompressed) || !index.data(TStShellListModel::CompressedRole).toBool())
        return false;
    textColor = m_compressedColor;
    return true;
}

void TStCustomShellListView::DoItemActivated(TStShellItem& item, bool& defaultAction)
{
    if (OnItemActivated)
        OnItemActivated(this, &item, defaultAction);
}

void TStCustomShellListView::DoFolderChanged()
{
    if (OnFolderChanged)
        OnFolderChanged(this, m_folder.get());
}
