// SPDX-License-Identifier: MIT
#pragma once
// A shell item shown as a folder in the shell controls. The four indexes
// belong to the controls' own bookkeeping; the ancestor mark is set when a
// folder enters a folder list as an ancestor entry of another.

#include "shell/items/StShellItem.h"

#include <array>

class TStShellFolder : public TStShellItem {
public:
    static constexpr int kIndexCount = 4;

    explicit TStShellFolder(TStCustomShellController* controller = nullptr);
    TStShellFolder(const dw::platform::ItemIdList* absoluteIdList, TStCustomShellController* controller);

    // Takes any item; the relative list is cloned only when the source has
    // one, the indexes only when the source is a folder. The ancestor mark
    // stays as it was.
    void Assign(const TStShellItem& source) override;

    int GetIndex(int which) const;
    void SetIndex(int which, int value);
    bool IsAncestorEntry() const { return m_ancestorEntry; }
    void SetAncestorEntry(bool value) { m_ancestorEntry = value; }

private:
    std::array<int, kIndexCount> m_indexes{-1, -1, -1, -1};
    bool m_ancestorEntry = false;
};
