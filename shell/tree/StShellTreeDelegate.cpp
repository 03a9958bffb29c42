// SPDX-License-Identifier: MIT
#include "shell/tree/StShellTreeDelegate.h"

#include "platform/fileinfo/FileInfo.h"
#include "shell/tree/StCustomShellTreeView.h"
#include "shell/tree/StShellTreeModel.h"

#include <QLineEdit>
#include <QPainter>

using namespace dw::platform;

TStShellTreeDelegate::TStShellTreeDelegate(TStCustomShellTreeView* tree) : QStyledItemDelegate(tree), m_tree(tree) {}

void TStShellTreeDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const TStTreeNode* node = m_tree->Model().NodeAt(index);
    if (!node)
        return;
    if (option->state & QStyle::State_Selected)
        option->icon = index.data(TStShellTreeModel::SelectedIconRole).value<QIcon>();
    QColor compressed;
    if (m_tree->DoCustomItemDraw(*node, compressed))
        option->palette.setColor(QPalette::Text, compressed);
    if (node == m_tree->m_dropTargetNode)
        option->state |= QStyle::State_Selected;
    if (node->loading)
        option->text += QStringLiteral("  \u2026"); // children on their way
}

void TStShellTreeDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    const int overlay = index.data(TStShellTreeModel::OverlayRole).toInt();
    if (overlay < 0)
        return;
    // The emblem covers the lower left quarter of the icon.
    const int size = option.decorationSize.height();
    const QRect icon(option.rect.left() + 3, option.rect.top() + (option.rect.height() - size) / 2, size, size);
    const QRect emblem(icon.left(), icon.top() + size / 2, size / 2, size / 2);
    SystemImageList::small().icon(overlayEmblemIndex(overlay)).paint(painter, emblem);
}

void TStShellTreeDelegate::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const
{
    auto* line = qobject_cast<QLineEdit*>(editor);
    TStTreeNode* node = m_tree->Model().NodeAt(index);
    if (line && node)
        m_tree->RenameNode(*node, line->text().toStdString());
}
