// SPDX-License-Identifier: MIT
#pragma once
// The published file list: its properties as a form description or a
// property editor sees them. Everything it does is TStCustomShellListView's.

#include "shell/list/StCustomShellListView.h"

class TStShellListView : public TStCustomShellListView {
    Q_OBJECT
    Q_PROPERTY(QColor CompressedColor READ GetCompressedColor WRITE SetCompressedColor)
    Q_PROPERTY(QString Filter READ GetFilter WRITE SetFilter)
    Q_PROPERTY(bool Filtered READ GetFiltered WRITE SetFiltered)
    Q_PROPERTY(uint Options READ GetOptionBits WRITE SetOptionBits)
    Q_PROPERTY(QString Path READ GetPathText WRITE SetPathText)
    Q_PROPERTY(int SortColumn READ GetSortColumnOrdinal WRITE SetSortColumnOrdinal)
    Q_PROPERTY(int SortDirection READ GetSortDirectionOrdinal WRITE SetSortDirectionOrdinal)
    Q_PROPERTY(int ViewStyle READ GetViewStyleOrdinal WRITE SetViewStyleOrdinal)
    Q_PROPERTY(QString Version READ GetVersion STORED false)
public:
    using TStCustomShellListView::TStCustomShellListView;

    uint GetOptionBits() const { return GetOptions().Bits(); }
    void SetOptionBits(uint bits) { SetOptions(TStListOptions::FromBits(static_cast<std::uint16_t>(bits))); }
    // Paths keep their exact bytes: the text carries them as Latin-1.
    QString GetPathText() const { return QString::fromLatin1(GetPath()); }
    void SetPathText(const QString& path) { SetPath(path.toLatin1().toStdString()); }
    int GetSortColumnOrdinal() const { return GetSortColumn(); }
    // A column outside the five is ignored.
    void SetSortColumnOrdinal(int column)
    {
        if (column >= 0 && column < kListColumnCount)
            SetSortColumn(static_cast<TStListColumn>(column));
    }
    // 0 ascending, 1 descending; anything else raises ESsShellError,
    // "Invalid sort direction".
    int GetSortDirectionOrdinal() const { return GetSortDirection(); }
    void SetSortDirectionOrdinal(int direction) { SetSortDirection(static_cast<Qt::SortOrder>(direction)); }
    int GetViewStyleOrdinal() const { return GetViewStyle(); }
    void SetViewStyleOrdinal(int style)
    {
        if (style >= vsDetails && style <= vsLargeIcons)
            SetViewStyle(static_cast<TStViewStyle>(style));
    }
};
