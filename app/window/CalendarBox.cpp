// SPDX-License-Identifier: MIT
#include "app/window/CalendarBox.h"

#include <QStyledItemDelegate>

namespace dw::window {

namespace {

class RowHeightDelegate : public QStyledItemDelegate {
public:
    explicit RowHeightDelegate(TCalendarBox* box) : QStyledItemDelegate(box), m_box(box) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(m_box->RowHeight());
        return size;
    }

private:
    TCalendarBox* m_box;
};

} // namespace

TCalendarBox::TCalendarBox(QWidget* parent) : QListView(parent), m_items(new TCalendarListModel(this))
{
    setModel(m_items);
    setItemDelegate(new RowHeightDelegate(this));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Rows of one height are laid out without asking each: a folder of
    // 100,000 calendars scrolls as lightly as one of ten. They are laid out
    // in one pass: a list laid out in batches draws no row until its last
    // batch, and each batch of rows added, and each piece of marks, starts
    // the layout again.
    setUniformItemSizes(true);
}

void TCalendarBox::paintEvent(QPaintEvent* event)
{
    // Rows added since the last layout would otherwise be drawn before the
    // list has laid them out, as an empty list: it would blink.
    executeDelayedItemsLayout();
    QListView::paintEvent(event);
}

void TCalendarBox::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles)
{
    // The list view lays every row out again for any change; marks change
    // only how rows look (colour, tooltip), so those rows are just drawn
    // again. A piece of marks then costs a repaint, not a layout of 50,000
    // rows.
    const bool lookOnly = !roles.isEmpty() && !roles.contains(Qt::DisplayRole) && !roles.contains(Qt::SizeHintRole)
        && !roles.contains(Qt::FontRole);
    if (lookOnly)
        QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
    else
        QListView::dataChanged(topLeft, bottomRight, roles);
}

void TCalendarBox::SetItemHeight(int pixels)
{
    m_itemHeight = pixels;
    doItemsLayout();
}

int TCalendarBox::RowHeight() const
{
    return std::max(m_itemHeight, fontMetrics().height());
}

void TCalendarBox::SelectAll()
{
    if (m_items->Count() == 0)
        return;
    selectionModel()->select(QItemSelection(m_items->index(0), m_items->index(m_items->Count() - 1)),
                             QItemSelectionModel::Select);
}

std::vector<bool> TCalendarBox::SelectedRows() const
{
    std::vector<bool> selected(std::size_t(m_items->Count()), false);
    for (const QItemSelectionRange& range : selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            if (row >= 0 && row < m_items->Count())
                selected[std::size_t(row)] = true;
    return selected;
}

} // namespace dw::window
