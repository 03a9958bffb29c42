// SPDX-License-Identifier: MIT
#include "shell/items/StShellFolder.h"

TStShellFolder::TStShellFolder(TStCustomShellController* controller) : TStShellItem(controller) {}

TStShellFolder::TStShellFolder(const dw::platform::ItemIdList* absoluteIdList, TStCustomShellController* controller)
    : TStShellItem(absoluteIdList, controller)
{
}

void TStShellFolder::Assign(const TStShellItem& source)
{
    // The base copies every field and clones the relative list; a source
    // without one leaves none here either. The ancestor mark is not copied:
    // it tells how this folder entered its own list.
    TStShellItem::Assign(source);
    if (const auto* folder = dynamic_cast<const TStShellFolder*>(&source))
        m_indexes = folder->m_indexes;
}

int TStShellFolder::GetIndex(int which) const
{
    return which >= 0 && which < kIndexCount ? m_indexes[static_cast<std::size_t>(which)] : -1;
}

void TStShellFolder::SetIndex(int which, int value)
{
    if (which >= 0 && which < kIndexCount)
        m_indexes[static_cast<std::size_t>(which)] = value;
}
