// SPDX-License-Identifier: MIT
#include "app/window/CalendarListModel.h"

#include "platform/namespace/DisplayText.h"

#include <QFont>
#include <QGuiApplication>
#include <QPalette>

#include <algorithm>

namespace dw::window {

int TCalendarListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Count();
}

QVariant TCalendarListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= Count())
        return {};
    const Entry& entry = m_entries[std::size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return TextOf(entry.name);
    case NameRole:
        return QByteArray::fromStdString(entry.name);
    case Qt::ToolTipRole:
        return TipOf(entry.mark);
    case Qt::ForegroundRole:
        return IsDimmed(entry.mark) ? QVariant(QGuiApplication::palette().brush(QPalette::Disabled, QPalette::Text))
                                    : QVariant();
    case Qt::FontRole:
        return entry.mark == CalendarMark::Unreadable ? QVariant(SkippedFont()) : QVariant();
    default:
        return {};
    }
}

bool TCalendarListModel::IsDimmed(CalendarMark mark)
{
    // Neither needs converting: one is done, the other is skipped.
    return mark == CalendarMark::UpToDate || mark == CalendarMark::Unreadable;
}

QVariant TCalendarListModel::TipOf(CalendarMark mark)
{
    switch (mark) {
    case CalendarMark::UpToDate: return UpToDateTip();
    case CalendarMark::Unreadable: return SkippedTip();
    default: return {};
    }
}

QFont TCalendarListModel::SkippedFont()
{
    QFont font = QGuiApplication::font();
    font.setItalic(true);
    return font;
}

QString TCalendarListModel::TextOf(const std::string& name)
{
    // Shown as the folder tree shows names; the entry keeps its bytes.
    return platform::displayQStringFromBytes(name);
}

QString TCalendarListModel::UpToDateTip()
{
    return QStringLiteral("Already in the 2.20 layout: converting it changes nothing");
}

QString TCalendarListModel::SkippedTip()
{
    return QStringLiteral("Not calendar text (it holds a NUL byte) or cannot be read: converting skips it");
}

void TCalendarListModel::Clear()
{
    beginResetModel();
    m_entries.clear();
    m_entries.shrink_to_fit();
    endResetModel();
}

void TCalendarListModel::Append(std::vector<std::string> names)
{
    if (names.empty())
        return;
    const int first = Count();
    beginInsertRows({}, first, first + static_cast<int>(names.size()) - 1);
    m_entries.reserve(m_entries.size() + names.size());
    for (std::string& name : names)
        m_entries.push_back({std::move(name), CalendarMark::Unchecked});
    endInsertRows();
}

void TCalendarListModel::SetMarks(const std::vector<std::pair<int, CalendarMark>>& marks)
{
    int first = Count();
    int last = -1;
    bool fontChanged = false;
    for (const auto& [row, mark] : marks) {
        if (row < 0 || row >= Count())
            continue;
        CalendarMark& held = m_entries[std::size_t(row)].mark;
        fontChanged |= (held == CalendarMark::Unreadable) != (mark == CalendarMark::Unreadable);
        held = mark;
        first = std::min(first, row);
        last = std::max(last, row);
    }
    if (last < first)
        return;
    // Only a change of font can change a row's size: without one, views
    // need not lay the rows out again.
    QList<int> roles{Qt::ToolTipRole, Qt::ForegroundRole};
    if (fontChanged)
        roles.append(Qt::FontRole);
    emit dataChanged(index(first), index(last), roles);
}

int TCalendarListModel::CountWithMark(CalendarMark mark) const
{
    return static_cast<int>(
        std::count_if(m_entries.begin(), m_entries.end(), [mark](const Entry& entry) { return entry.mark == mark; }));
}

int TCalendarListModel::RowOf(const std::string& name) const
{
    const auto found =
        std::find_if(m_entries.begin(), m_entries.end(), [&name](const Entry& entry) { return entry.name == name; });
    return found == m_entries.end() ? -1 : static_cast<int>(found - m_entries.begin());
}

} // namespace dw::window
