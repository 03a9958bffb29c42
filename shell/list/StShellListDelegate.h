// SPDX-License-Identifier: MIT
#pragma once
// Draws the file list's rows in every view style: the item's icon with the
// link or share emblem over it, compressed items in their colour, hidden
// items faded, and the folder row under a drag as a drop target. Edits
// names in place for the list's rename.

#include <QStyledItemDelegate>

class TStCustomShellListView;

class TStShellListDelegate : public QStyledItemDelegate {
public:
    explicit TStShellListDelegate(TStCustomShellListView* list);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    TStCustomShellListView* m_list;
};
