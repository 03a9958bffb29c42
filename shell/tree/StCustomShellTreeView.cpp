// SPDX-License-Identifier: MIT
// The folder tree's construction, properties and the calls the
// controller's enumeration makes on it.

#include "shell/tree/StCustomShellTreeView.h"

#include "base/exceptions/SsBase.h"
#include "platform/fileops/DropTarget.h"
#include "platform/version/ShellVersion.h"
#include "shell/items/StShellFolder.h"
#include "shell/notification/StShellNotification.h"
#include "shell/tree/StShellTreeDelegate.h"
#include "shell/tree/StShellTreeModel.h"
#include "shell/tree/StTreeListing.h"

#include <QHeaderView>

using namespace dw::platform;

namespace {

// A bare drive such as "C:" stands for that drive's root.
std::string WithDriveRoot(std::string path)
{
    if (path.size() == 2 && path.find(':') != std::string::npos)
        path += '\\';
    return path;
}

void RefuseUnsupportedSpecialFolder(TStSpecialRootFolder folder, double shellVersion)
{
    if (!ShellSupportsSpecialFolder(SpecialRootFolderCsidl(folder), shellVersion))
        throw ESsShellError(ssscShellVersionError);
}

} // namespace

TStCustomShellTreeView::TStCustomShellTreeView(QWidget* parent)
    : QTreeView(parent), m_model(new TStShellTreeModel(this))
{
    m_shellVersion = SystemShellVersion();
    m_ownedController = std::make_unique<TStCustomShellController>();
    m_controller = m_ownedController.get();
    m_controller->SetTreeTarget(this);
    m_model->SetSiblingOrder([this](const TStTreeNode& a, const TStTreeNode& b) {
        const TStShellFolder* first = FolderOf(&a);
        const TStShellFolder* second = FolderOf(&b);
        const ShellFolderPtr& desktop = m_controller->GetDesktopFolder();
        if (!first || !second || !desktop)
            return 0;
        return static_cast<int>(static_cast<short>(
            desktop->CompareIDs(0, first->GetAbsoluteIdList(), second->GetAbsoluteIdList()) & 0xFFFF));
    });
    m_model->SetNodeGoing([this](TStTreeNode& node) { NodeGoing(node); });
    setModel(m_model);
    setItemDelegate(new TStShellTreeDelegate(this));
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setExpandsOnDoubleClick(true);
    resize(180, 270);
    setDragEnabled(m_options.Contains(toAllowDrag));
    setAcceptDrops(m_options.Contains(toAllowDrop));
    connect(this, &QTreeView::expanded, this, &TStCustomShellTreeView::NodeExpanded);
    connect(this, &QTreeView::collapsed, this, &TStCustomShellTreeView::NodeCollapsed);
    setDropIndicatorShown(false);
    connect(&m_expandTimer, &QTimer::timeout, this, &TStCustomShellTreeView::ExpandDropTarget);
    connect(&m_scrollTimer, &QTimer::timeout, this, &TStCustomShellTreeView::ScrollWhileHeld);
    m_fullIndentation = m_fittedIndentation = indentation();
    m_fullMinimumSectionSize = header()->minimumSectionSize();
    m_fitTimer.setSingleShot(true);
    connect(&m_fitTimer, &QTimer::timeout, this, &TStCustomShellTreeView::FitIndentation);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &TStCustomShellTreeView::ScheduleFitIndentation);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &TStCustomShellTreeView::ScheduleFitIndentation);
    CreateNotifier();
}

TStCustomShellTreeView::~TStCustomShellTreeView()
{
    UnlinkListView();
    m_opening.reset();
    m_listings.clear();
    m_model->SetNodeGoing(nullptr); // the model outlives this part of the tree
    m_dropTarget.reset();
    m_notifier.reset();
}

void TStCustomShellTreeView::SetCompressedColor(const QColor& value)
{
    m_compressedColor = value;
    if (m_options.Contains(toColorCompressed))
        viewport()->update();
}

void TStCustomShellTreeView::SetOptions(TStTreeOptions value)
{
    const TStTreeOptions old = m_options;
    m_options = value;
    if (old.Contains(toColorCompressed) != value.Contains(toColorCompressed) || value.Contains(toColorCompressed))
        viewport()->update();
    if (old.Contains(toAllowDrop) != value.Contains(toAllowDrop))
        setAcceptDrops(value.Contains(toAllowDrop));
    setDragEnabled(value.Contains(toAllowDrag));
}

void TStCustomShellTreeView::SetFiltered(bool value)
{
    m_filtered = value;
    if (m_loading || !m_populated)
        return;
    Populate();
    if (TStTreeNode* top = m_model->TopNode())
        RaiseChange(*top);
}

void TStCustomShellTreeView::SetRootFolder(const std::string& value)
{
    m_rootFolder = WithDriveRoot(value);
    if (m_rootFolder.empty()) {
        ClearNodes();
        return;
    }
    if (m_loading)
        return;
    m_specialRootFolder = sfNone;
    if (!m_startInFolder.empty() || m_specialStartInFolder != sfNone)
        m_startApplied = false;
    ClearNodes();
    if (m_populated)
        Populate();
}

void TStCustomShellTreeView::SetSpecialRootFolder(TStSpecialRootFolder value)
{
    RefuseUnsupportedSpecialFolder(value, m_shellVersion);
    if (value == m_specialRootFolder)
        return;
    m_specialRootFolder = value;
    if (value == sfNone || m_loading)
        return;
    m_rootFolder.clear();
    if (!m_startInFolder.empty() || m_specialStartInFolder != sfNone)
        m_startApplied = false;
    ClearNodes();
    if (m_populated)
        Populate();
}

void TStCustomShellTreeView::SetStartInFolder(const std::string& value)
{
    m_startInFolder = WithDriveRoot(value);
    if (!m_loading)
        m_specialStartInFolder = sfNone;
}

void TStCustomShellTreeView::SetSpecialStartInFolder(TStSpecialRootFolder value)
{
    RefuseUnsupportedSpecialFolder(value, m_shellVersion);
    if (value == m_specialStartInFolder)
        return;
    m_specialStartInFolder = value;
    if (value != sfNone && !m_loading)
        m_startInFolder.clear();
}

void TStCustomShellTreeView::SetHotTrack(bool value)
{
    m_hotTrack = value;
    setMouseTracking(value);
}

void TStCustomShellTreeView::Loaded()
{
    m_loading = false;
}

void TStCustomShellTreeView::EnsurePopulated()
{
    if (m_populated)
        return;
    m_populated = true;
    Populate();
}

TStTreeNode* TStCustomShellTreeView::NodeByIdList(const ItemIdList* absolute) const
{
    return m_model->NodeByIdList(absolute);
}

TStTreeNode* TStCustomShellTreeView::NodeByPath(const std::string& path) const
{
    return m_model->NodeByPath(path);
}

TStShellFolder* TStCustomShellTreeView::FolderOf(const TStTreeNode* node) const
{
    return node ? m_model->FolderOf(*node) : nullptr;
}

TStTreeNode* TStCustomShellTreeView::SelectedNode() const
{
    return m_model->NodeAt(currentIndex());
}

TStShellFolder* TStCustomShellTreeView::GetCurrentFolder() const
{
    return m_currentFolder;
}

TStTreeNode* TStCustomShellTreeView::NodeAtPoint(const QPoint& position) const
{
    return m_model->NodeAt(indexAt(position));
}

// The class's virtual operations.

void TStCustomShellTreeView::DoFilterItem(TStShellItem& item, bool& accept)
{
    if (m_filtered && OnFilterItem)
        OnFilterItem(this, &item, accept);
}

void TStCustomShellTreeView::DoShellChange(TStShellItem* oldItem, TStShellItem* newItem, TStNotifyEventsSet events)
{
    if (OnShellChangeNotify)
        OnShellChangeNotify(this, oldItem, newItem, events);
}

bool TStCustomShellTreeView::DoCustomItemDraw(const TStTreeNode& node, QColor& textColor) const
{
    if (node.onRemovableDrive || &node == m_dropTargetNode || !m_options.Contains(toColorCompressed))
        return false;
    const TStShellFolder* folder = FolderOf(&node);
    if (!folder || !folder->GetParentFolder() || !folder->IsCompressed())
        return false;
    textColor = m_compressedColor;
    return true;
}

// IStShellTreeTarget.

bool TStCustomShellTreeView::ShowFiles() const
{
    return m_options.Contains(toShowFiles);
}

bool TStCustomShellTreeView::ShowHidden() const
{
    return m_options.Contains(toShowHidden);
}

bool TStCustomShellTreeView::HasFilterHook() const
{
    return m_filtered && static_cast<bool>(OnFilterItem);
}

void TStCustomShellTreeView::FilterItem(TStShellFolder& item, bool& accept)
{
    DoFilterItem(item, accept);
}

TStTreeNodeHandle TStCustomShellTreeView::AddChildNode(TStTreeNodeHandle parent, const std::string&,
                                                       std::unique_ptr<TStShellFolder> folder,
                                                       const TStNodeImages& images)
{
    std::unique_ptr<TStTreeNode> node = MakeNode(images, false);
    return m_model->AddNode(static_cast<TStTreeNode*>(parent), std::move(node), std::move(folder));
}

void TStCustomShellTreeView::MarkHasChildren(TStTreeNodeHandle node)
{
    auto* treeNode = static_cast<TStTreeNode*>(node);
    treeNode->hasChildrenMark = true;
    m_model->NodeChanged(*treeNode);
}
