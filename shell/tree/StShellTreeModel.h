// SPDX-License-Identifier: MIT
#pragma once
// The folder tree's nodes as a Qt item model. Nodes own their children,
// always in the tree's order; lookups by absolute id list and by path go
// through hashes, never by walking the tree. The model owns the folder list
// the nodes index into.

#include "shell/items/StShellItemList.h"
#include "shell/tree/StNodeIndex.h"
#include "shell/tree/StTreeNode.h"

#include <QAbstractItemModel>
#include <QHash>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TStShellTreeModel : public QAbstractItemModel {
public:
    // Extra roles the view's delegate draws from.
    enum Role { OverlayRole = Qt::UserRole + 1, SelectedIconRole, LoadingRole, NodeRole };

    // Orders two siblings; negative when the first comes first.
    using SiblingOrder = std::function<int(const TStTreeNode& first, const TStTreeNode& second)>;

    explicit TStShellTreeModel(QObject* parent = nullptr);
    ~TStShellTreeModel() override;

    void SetSiblingOrder(SiblingOrder order) { order_ = std::move(order); }
    // Called when the view expands a node whose children were never read.
    void SetChildrenWanted(std::function<void(TStTreeNode&)> wanted) { childrenWanted_ = std::move(wanted); }
    // Called for every node about to be freed, whatever frees it, while the
    // node and its folder are still whole: whoever points at nodes lets go.
    void SetNodeGoing(std::function<void(TStTreeNode&)> going) { nodeGoing_ = std::move(going); }

    TStShellFolderList& Folders() { return folders_; }
    TStShellFolder* FolderOf(const TStTreeNode& node) const { return folders_.Items(node.folderIndex); }
    // What a node shows: its folder's display name.
    std::string TextOf(const TStTreeNode& node) const;

    TStTreeNode* TopNode() const;
    TStTreeNode* NodeAt(const QModelIndex& index) const;
    QModelIndex IndexOf(const TStTreeNode* node) const;

    // A new node for `folder` under `parent` (null: a top node), in its
    // place in the order.
    TStTreeNode* AddNode(TStTreeNode* parent, std::unique_ptr<TStTreeNode> node, std::unique_ptr<TStShellFolder> folder);
    // Many new children at once; they may come in any order.
    void AddNodes(TStTreeNode& parent, std::vector<std::pair<std::unique_ptr<TStTreeNode>, std::unique_ptr<TStShellFolder>>> nodes);
    // Frees the node, its children and their folders (their entries nulled).
    void DeleteNode(TStTreeNode& node);
    void DeleteChildren(TStTreeNode& node);
    void Clear();
    // Puts a node whose order may have changed back in its place.
    void Reposition(TStTreeNode& node);
    // Tells views that the node's text, icons or marks changed.
    void NodeChanged(TStTreeNode& node);
    // A node gets a new folder (a rename): its lookups follow.
    void ReplaceFolder(TStTreeNode& node, std::unique_ptr<TStShellFolder> folder);

    // First node in tree order whose folder's absolute list equals `absolute`.
    TStTreeNode* NodeByIdList(const dw::platform::ItemIdList* absolute) const;
    // First node in tree order whose folder's path equals `path`.
    TStTreeNode* NodeByPath(const std::string& path) const;
    // Every node, parents before their children (tests, the probe).
    void ForEachNode(const std::function<void(TStTreeNode&)>& visit) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void Register(TStTreeNode& node);
    void Unregister(TStTreeNode& node);
    void Renumber(TStTreeNode& parent, std::size_t from);
    std::size_t PlaceFor(const TStTreeNode& parent, const TStTreeNode& node) const;
    int Compare(const TStTreeNode& first, const TStTreeNode& second) const;
    void DeleteSubtree(TStTreeNode& node);
    void MergeIntoPlace(TStTreeNode& parent, std::size_t oldCount);

    TStTreeNode root_; // holds the top nodes; not shown
    TStShellFolderList folders_;
    SiblingOrder order_;
    std::function<void(TStTreeNode&)> childrenWanted_;
    std::function<void(TStTreeNode&)> nodeGoing_;
    // Keyed by a hash of the id list's bytes and of the path (a tree of
    // 100,000 nodes must not keep every list and path twice more); the
    // nodes under a key are checked against the folder itself. Several
    // nodes may show one folder (reached two ways): the first in tree order
    // is found by comparing positions.
    TStNodeIndex byIdList_;
    TStNodeIndex byPath_;
};
