// SPDX-License-Identifier: MIT
#include "shell/list/StShellListDelegate.h"

#include "platform/fileinfo/FileInfo.h"
#include "shell/list/StCustomShellListView.h"
#include "shell/list/StShellListModel.h"

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QPainter>

using namespace dw::platform;

namespace {

constexpr double kHiddenOpacity = 0.55;

} // namespace

TStShellListDelegate::TStShellListDelegate(TStCustomShellListView* list) : QStyledItemDelegate(list), m_list(list) {}

QSize TStShellListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    // Under its icon every name gets the grid's whole cell to wrap in. The
    // view takes one size for all items (a folder of 100,000 is laid out
    // without asking each), and the size a short name needs would elide the
    // longer ones.
    const auto* icons = qobject_cast<const QListView*>(m_list->CurrentView());
    if (icons && icons->viewMode() == QListView::IconMode && icons->gridSize().isValid())
        return icons->gridSize();
    return QStyledItemDelegate::sizeHint(option, index);
}

void TStShellListDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    QColor compressed;
    if (m_list->DoCustomItemDraw(index, compressed)) {
        option->palette.setColor(QPalette::Text, compressed);
        option->palette.setColor(QPalette::HighlightedText, compressed);
    }
    if (m_list->m_dropTargetSet && m_list->m_dropRow.isValid() && m_list->m_dropRow.row() == index.row())
        option->state |= QStyle::State_Selected;
}

void TStShellListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const bool hidden = index.siblingAtColumn(0).data(TStShellListModel::HiddenRole).toBool();
    painter->save();
    if (hidden)
        painter->setOpacity(kHiddenOpacity);
    QStyledItemDelegate::paint(painter, option, index);
    const int overlay = index.column() == 0 ? index.data(TStShellListModel::OverlayRole).toInt() : -1;
    if (overlay >= 0) {
        // The emblem covers the lower left quarter of the icon, wherever the
        // style put it.
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QWidget* widget = option.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        const QRect icon = style->subElementRect(QStyle::SE_ItemViewItemDecoration, &item, widget);
        const int size = std::min(icon.width(), icon.height()) / 2;
        const QRect emblem(icon.left(), icon.bottom() - size + 1, size, size);
        SystemImageList::small().icon(overlayEmblemIndex(overlay)).paint(painter, emblem);
    }
    painter->restore();
}

void TStShellListDelegate::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const
{
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        m_list->RenameItem(index.row(), line->text().toStdString());
}
