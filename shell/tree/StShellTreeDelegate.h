// SPDX-License-Identifier: MIT
#pragma once
// Draws the folder tree's nodes: the open icon while selected, the link or
// share emblem over the icon, compressed items in their colour, a node
// whose children are being read marked as loading, and the node under a
// drag. Edits names in place for the tree's rename.

#include <QStyledItemDelegate>

class TStCustomShellTreeView;

class TStShellTreeDelegate : public QStyledItemDelegate {
public:
    explicit TStShellTreeDelegate(TStCustomShellTreeView* tree);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    TStCustomShellTreeView* m_tree;
};
