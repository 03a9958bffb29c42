// SPDX-License-Identifier: MIT
#pragma once
// The calendar list box: one column of names, several of which may be
// selected (Ctrl and Shift extend the selection), each row `ItemHeight`
// pixels high, or as high as the font needs when that is more.

#include "app/window/CalendarListModel.h"

#include <QListView>

namespace dw::window {

class TCalendarBox : public QListView {
public:
    explicit TCalendarBox(QWidget* parent = nullptr);

    TCalendarListModel& Items() const { return *m_items; }
    int GetItemHeight() const { return m_itemHeight; }
    void SetItemHeight(int pixels);
    // The height rows really have with the font in use.
    int RowHeight() const;

    // Selects every entry, from the first to the last.
    void SelectAll();
    // Whether each row is selected, in list order.
    std::vector<bool> SelectedRows() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;

private:
    TCalendarListModel* m_items;
    int m_itemHeight = 13;
};

} // namespace dw::window
