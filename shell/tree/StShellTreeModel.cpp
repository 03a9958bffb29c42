// SPDX-License-Identifier: MIT
#include "shell/tree/StShellTreeModel.h"

#include "base/containers/SsSortedRuns.h"
#include "platform/fileinfo/SystemImageList.h"

#include <algorithm>

using namespace dw::platform;

namespace {

std::size_t IdListKey(const ItemIdList* list)
{
    return std::hash<std::string_view>()(
        std::string_view(reinterpret_cast<const char*>(list), list ? ILGetSize(list) : 0));
}

std::size_t PathKey(const std::string& path)
{
    return std::hash<std::string>()(path);
}

// The chain of rows from the top down to `node`.
std::vector<int> PathOf(const TStTreeNode* node)
{
    std::vector<int> rows;
    for (; node && node->parent; node = node->parent)
        rows.push_back(node->row);
    std::reverse(rows.begin(), rows.end());
    return rows;
}

} // namespace

TStShellTreeModel::TStShellTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

TStShellTreeModel::~TStShellTreeModel() = default;

TStTreeNode* TStShellTreeModel::TopNode() const
{
    return root_.children.empty() ? nullptr : root_.children.front().get();
}

TStTreeNode* TStShellTreeModel::NodeAt(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<TStTreeNode*>(index.internalPointer()) : nullptr;
}

QModelIndex TStShellTreeModel::IndexOf(const TStTreeNode* node) const
{
    if (!node || node == &root_)
        return {};
    return createIndex(node->row, 0, const_cast<TStTreeNode*>(node));
}

int TStShellTreeModel::Compare(const TStTreeNode& first, const TStTreeNode& second) const
{
    if (first.sortKey && second.sortKey)
        return first.sortKey->compare(*second.sortKey);
    return order_ ? order_(first, second) : 0;
}

std::size_t TStShellTreeModel::PlaceFor(const TStTreeNode& parent, const TStTreeNode& node) const
{
    const auto& siblings = parent.children;
    const auto place = std::upper_bound(siblings.begin(), siblings.end(), &node,
                                        [&](const TStTreeNode* a, const std::unique_ptr<TStTreeNode>& b) {
                                            return Compare(*a, *b) < 0;
                                        });
    return static_cast<std::size_t>(place - siblings.begin());
}

void TStShellTreeModel::Renumber(TStTreeNode& parent, std::size_t from)
{
    for (std::size_t i = from; i < parent.children.size(); ++i)
        parent.children[i]->row = static_cast<int>(i);
}

void TStShellTreeModel::Register(TStTreeNode& node)
{
    if (const TStShellFolder* folder = FolderOf(node)) {
        byIdList_.Insert(IdListKey(folder->GetAbsoluteIdList()), &node);
        byPath_.Insert(PathKey(folder->GetPath()), &node);
    }
}

void TStShellTreeModel::Unregister(TStTreeNode& node)
{
    const TStShellFolder* folder = FolderOf(node);
    if (!folder)
        return;
    byIdList_.Erase(IdListKey(folder->GetAbsoluteIdList()), &node);
    byPath_.Erase(PathKey(folder->GetPath()), &node);
}

TStTreeNode* TStShellTreeModel::AddNode(TStTreeNode* parent, std::unique_ptr<TStTreeNode> node,
                                        std::unique_ptr<TStShellFolder> folder)
{
    TStTreeNode& under = parent ? *parent : root_;
    node->parent = &under;
    node->folderIndex = folders_.Add(std::move(folder));
    const std::size_t place = PlaceFor(under, *node);
    TStTreeNode* added = node.get();
    beginInsertRows(IndexOf(parent), static_cast<int>(place), static_cast<int>(place));
    under.children.insert(under.children.begin() + static_cast<std::ptrdiff_t>(place), std::move(node));
    Renumber(under, place);
    Register(*added);
    endInsertRows();
    return added;
}

void TStShellTreeModel::AddNodes(
    TStTreeNode& parent, std::vector<std::pair<std::unique_ptr<TStTreeNode>, std::unique_ptr<TStShellFolder>>> nodes)
{
    if (nodes.empty())
        return;
    std::vector<std::unique_ptr<TStTreeNode>> added;
    added.reserve(nodes.size());
    for (auto& [node, folder] : nodes) {
        node->parent = &parent;
        node->folderIndex = folders_.Add(std::move(folder));
        added.push_back(std::move(node));
    }
    std::stable_sort(added.begin(), added.end(),
                     [&](const auto& a, const auto& b) { return Compare(*a, *b) < 0; });
    const std::size_t oldCount = parent.children.size();
    const bool afterTheRest = oldCount == 0 || Compare(*parent.children.back(), *added.front()) <= 0;
    beginInsertRows(IndexOf(&parent), static_cast<int>(oldCount), static_cast<int>(oldCount + added.size() - 1));
    for (auto& node : added) {
        Register(*node);
        parent.children.push_back(std::move(node));
    }
    Renumber(parent, oldCount);
    endInsertRows();
    if (!afterTheRest)
        MergeIntoPlace(parent, oldCount);
}

// The children before `oldCount` and those after are each in order: one
// merge puts them all in order, and views keep what they point at.
void TStShellTreeModel::MergeIntoPlace(TStTreeNode& parent, std::size_t oldCount)
{
    const QModelIndex parentIndex = IndexOf(&parent);
    emit layoutAboutToBeChanged({QPersistentModelIndex(parentIndex)}, QAbstractItemModel::VerticalSortHint);
    SsMergeSortedRuns(parent.children, oldCount, [&](const auto& a, const auto& b) { return Compare(*a, *b) < 0; });
    Renumber(parent, 0);
    const QModelIndexList persistent = persistentIndexList();
    for (const QModelIndex& old : persistent) {
        TStTreeNode* node = NodeAt(old);
        if (node && node->parent == &parent)
            changePersistentIndex(old, createIndex(node->row, old.column(), node));
    }
    emit layoutChanged({QPersistentModelIndex(parentIndex)}, QAbstractItemModel::VerticalSortHint);
}

void TStShellTreeModel::Reposition(TStTreeNode& node)
{
    TStTreeNode& parent = *node.parent;
    auto& siblings = parent.children;
    const std::size_t from = static_cast<std::size_t>(node.row);
    std::unique_ptr<TStTreeNode> held = std::move(siblings[from]);
    siblings.erase(siblings.begin() + static_cast<std::ptrdiff_t>(from));
    std::size_t to = PlaceFor(parent, node);
    siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(to), std::move(held));
    if (to == from) {
        Renumber(parent, from);
        return;
    }
    // Put it back where it was for the move's announcement, then move it.
    held = std::move(siblings[to]);
    siblings.erase(siblings.begin() + static_cast<std::ptrdiff_t>(to));
    siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(from), std::move(held));
    const QModelIndex parentIndex = IndexOf(&parent);
    const int destination = static_cast<int>(to > from ? to + 1 : to);
    beginMoveRows(parentIndex, static_cast<int>(from), static_cast<int>(from), parentIndex, destination);
    held = std::move(siblings[from]);
    siblings.erase(siblings.begin() + static_cast<std::ptrdiff_t>(from));
    siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(to), std::move(held));
    Renumber(parent, std::min(from, to));
    endMoveRows();
}

void TStShellTreeModel::NodeChanged(TStTreeNode& node)
{
    const QModelIndex index = IndexOf(&node);
    emit dataChanged(index, index);
}

void TStShellTreeModel::ReplaceFolder(TStTreeNode& node, std::unique_ptr<TStShellFolder> folder)
{
    Unregister(node);
    folders_.Put(node.folderIndex, std::move(folder));
    Register(node);
}

void TStShellTreeModel::DeleteSubtree(TStTreeNode& node)
{
    for (auto& child : node.children)
        DeleteSubtree(*child);
    if (nodeGoing_)
        nodeGoing_(node);
    Unregister(node);
    folders_.Put(node.folderIndex, nullptr);
}

void TStShellTreeModel::DeleteNode(TStTreeNode& node)
{
    TStTreeNode& parent = *node.parent;
    const int row = node.row;
    beginRemoveRows(IndexOf(&parent), row, row);
    DeleteSubtree(node);
    parent.children.erase(parent.children.begin() + row);
    Renumber(parent, static_cast<std::size_t>(row));
    endRemoveRows();
}

void TStShellTreeModel::DeleteChildren(TStTreeNode& node)
{
    if (node.children.empty())
        return;
    beginRemoveRows(IndexOf(&node), 0, static_cast<int>(node.children.size()) - 1);
    for (auto& child : node.children)
        DeleteSubtree(*child);
    node.children.clear();
    endRemoveRows();
}

void TStShellTreeModel::Clear()
{
    if (nodeGoing_)
        ForEachNode(nodeGoing_);
    beginResetModel();
    root_.children.clear();
    byIdList_.Clear();
    byPath_.Clear();
    folders_.Clear();
    endResetModel();
}

namespace {

// The first, in tree order, of the nodes under one hash that `matches`.
template <typename Matches>
TStTreeNode* FirstInTreeOrder(const TStNodeIndex& index, std::size_t hash, Matches matches)
{
    TStTreeNode* first = nullptr;
    std::vector<int> firstPath;
    index.ForEach(hash, [&](TStTreeNode* node) {
        if (!matches(*node))
            return;
        std::vector<int> path = PathOf(node);
        if (!first || path < firstPath) {
            first = node;
            firstPath = std::move(path);
        }
    });
    return first;
}

} // namespace

TStTreeNode* TStShellTreeModel::NodeByIdList(const ItemIdList* absolute) const
{
    return FirstInTreeOrder(byIdList_, IdListKey(absolute), [&](const TStTreeNode& node) {
        const TStShellFolder* folder = FolderOf(node);
        return folder && ILIsEqual(folder->GetAbsoluteIdList(), absolute);
    });
}

TStTreeNode* TStShellTreeModel::NodeByPath(const std::string& path) const
{
    return FirstInTreeOrder(byPath_, PathKey(path), [&](const TStTreeNode& node) {
        const TStShellFolder* folder = FolderOf(node);
        return folder && folder->GetPath() == path;
    });
}

void TStShellTreeModel::ForEachNode(const std::function<void(TStTreeNode&)>& visit) const
{
    std::function<void(const TStTreeNode&)> walk = [&](const TStTreeNode& node) {
        for (const auto& child : node.children) {
            visit(*child);
            walk(*child);
        }
    };
    walk(root_);
}

std::string TStShellTreeModel::TextOf(const TStTreeNode& node) const
{
    const TStShellFolder* folder = FolderOf(node);
    return folder ? folder->GetDisplayName() : std::string();
}

QModelIndex TStShellTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    const TStTreeNode* under = parent.isValid() ? NodeAt(parent) : &root_;
    if (column != 0 || row < 0 || row >= static_cast<int>(under->children.size()))
        return {};
    return createIndex(row, 0, under->children[static_cast<std::size_t>(row)].get());
}

QModelIndex TStShellTreeModel::parent(const QModelIndex& child) const
{
    const TStTreeNode* node = NodeAt(child);
    return node ? IndexOf(node->parent) : QModelIndex();
}

int TStShellTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    const TStTreeNode* node = parent.isValid() ? NodeAt(parent) : &root_;
    return static_cast<int>(node->children.size());
}

int TStShellTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

bool TStShellTreeModel::hasChildren(const QModelIndex& parent) const
{
    const TStTreeNode* node = parent.isValid() ? NodeAt(parent) : &root_;
    return !node->children.empty() || node->hasChildrenMark;
}

// Children are read when the view expands a node (see the tree's
// expansion), not when the view lays the tree out.
bool TStShellTreeModel::canFetchMore(const QModelIndex&) const
{
    return false;
}

void TStShellTreeModel::fetchMore(const QModelIndex&) {}

QVariant TStShellTreeModel::data(const QModelIndex& index, int role) const
{
    const TStTreeNode* node = NodeAt(index);
    if (!node)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return QString::fromStdString(TextOf(*node));
    case Qt::DecorationRole:
        return SystemImageList::small().icon(node->imageIndex);
    case SelectedIconRole:
        return SystemImageList::small().icon(node->selectedIndex >= 0 ? node->selectedIndex : node->imageIndex);
    case OverlayRole:
        return node->overlay;
    case LoadingRole:
        return node->loading;
    case Qt::ToolTipRole:
        return node->errorText ? QVariant(QString::fromStdString(*node->errorText)) : QVariant();
    case NodeRole:
        return QVariant::fromValue(static_cast<void*>(const_cast<TStTreeNode*>(node)));
    default:
        return {};
    }
}

Qt::ItemFlags TStShellTreeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsDragEnabled
        | Qt::ItemIsDropEnabled;
}
