// SPDX-License-Identifier: MIT
#pragma once
// The published folder tree: its properties as a form description or a
// property editor sees them. Everything it does is TStCustomShellTreeView's.

#include "shell/tree/StCustomShellTreeView.h"

class TStShellTreeView : public TStCustomShellTreeView {
    Q_OBJECT
    Q_MOC_INCLUDE("shell/list/StCustomShellListView.h")
    Q_PROPERTY(QColor CompressedColor READ GetCompressedColor WRITE SetCompressedColor)
    Q_PROPERTY(int ExpandInterval READ GetExpandInterval WRITE SetExpandInterval)
    Q_PROPERTY(TStCustomShellListView* ListView READ GetListView WRITE SetListView)
    Q_PROPERTY(bool Filtered READ GetFiltered WRITE SetFiltered)
    Q_PROPERTY(uint Options READ GetOptionBits WRITE SetOptionBits)
    Q_PROPERTY(QString RootFolder READ GetRootFolderText WRITE SetRootFolderText)
    Q_PROPERTY(int SpecialRootFolder READ GetSpecialRootFolderOrdinal WRITE SetSpecialRootFolderOrdinal)
    Q_PROPERTY(QString StartInFolder READ GetStartInFolderText WRITE SetStartInFolderText)
    Q_PROPERTY(int SpecialStartInFolder READ GetSpecialStartInFolderOrdinal WRITE SetSpecialStartInFolderOrdinal)
    Q_PROPERTY(QString Version READ GetVersion STORED false)
    Q_PROPERTY(bool HotTrack READ GetHotTrack WRITE SetHotTrack)
    Q_PROPERTY(bool AutoExpand READ GetAutoExpand WRITE SetAutoExpand)
    Q_PROPERTY(bool ReadOnly READ GetReadOnly WRITE SetReadOnly)
    Q_PROPERTY(bool ShowRoot READ GetShowRoot WRITE SetShowRoot)
public:
    using TStCustomShellTreeView::TStCustomShellTreeView;

    uint GetOptionBits() const { return GetOptions().Bits(); }
    void SetOptionBits(uint bits) { SetOptions(TStTreeOptions::FromBits(static_cast<std::uint16_t>(bits))); }
    // Paths keep their exact bytes: the texts carry them as Latin-1.
    QString GetRootFolderText() const { return QString::fromLatin1(GetRootFolder()); }
    void SetRootFolderText(const QString& path) { SetRootFolder(path.toLatin1().toStdString()); }
    QString GetStartInFolderText() const { return QString::fromLatin1(GetStartInFolder()); }
    void SetStartInFolderText(const QString& path) { SetStartInFolder(path.toLatin1().toStdString()); }
    int GetSpecialRootFolderOrdinal() const { return GetSpecialRootFolder(); }
    void SetSpecialRootFolderOrdinal(int ordinal) { SetSpecialRootFolder(ToSpecialFolder(ordinal)); }
    int GetSpecialStartInFolderOrdinal() const { return GetSpecialStartInFolder(); }
    void SetSpecialStartInFolderOrdinal(int ordinal) { SetSpecialStartInFolder(ToSpecialFolder(ordinal)); }

private:
    static TStSpecialRootFolder ToSpecialFolder(int ordinal)
    {
        return ordinal >= 0 && ordinal < kSpecialRootFolderCount ? static_cast<TStSpecialRootFolder>(ordinal) : sfNone;
    }
};
