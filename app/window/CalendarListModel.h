// SPDX-License-Identifier: MIT
#pragma once
// The entries of the calendar list: each a bare file name with its exact
// bytes, in the order the folder gave them, and what the up-to-date check
// found out about it. A calendar already in the 2.20 layout is drawn dimmed,
// one that converting will skip (no calendar text, or unreadable) dimmed and
// slanted, and each says so in its tooltip; selection and conversion ignore
// the marks.

#include <QAbstractListModel>
#include <QFont>

#include <string>
#include <utility>
#include <vector>

namespace dw::window {

enum class CalendarMark {
    Unchecked,       // not looked at yet
    NeedsConversion,
    UpToDate,
    Unreadable,      // could not be read, or no calendar text
};

class TCalendarListModel : public QAbstractListModel {
public:
    // The entry's name as it is on disk (QByteArray), which the shown text
    // may not render exactly.
    static constexpr int NameRole = Qt::UserRole + 1;

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    void Clear();
    // Adds `names` at the end in one insertion.
    void Append(std::vector<std::string> names);
    int Count() const { return static_cast<int>(m_entries.size()); }
    const std::string& NameAt(int row) const { return m_entries[std::size_t(row)].name; }
    CalendarMark MarkAt(int row) const { return m_entries[std::size_t(row)].mark; }
    // Sets the marks of the rows given, with one change report for them.
    void SetMarks(const std::vector<std::pair<int, CalendarMark>>& marks);
    int CountWithMark(CalendarMark mark) const;
    // The first row showing `name`; -1 when none does.
    int RowOf(const std::string& name) const;

    static QString TextOf(const std::string& name);
    static QString UpToDateTip();
    static QString SkippedTip();

private:
    static bool IsDimmed(CalendarMark mark);
    static QVariant TipOf(CalendarMark mark);
    static QFont SkippedFont();

    struct Entry {
        std::string name;
        CalendarMark mark = CalendarMark::Unchecked;
    };
    std::vector<Entry> m_entries;
};

} // namespace dw::window
