// SPDX-License-Identifier: MIT
#pragma once
// Owning lists of shell items and of shell folders. An entry may be null
// (the folder tree nulls the entries of deleted nodes so that the indexes
// stored in other nodes stay valid).

#include "shell/items/StShellFolder.h"
#include "shell/items/StShellItem.h"

#include <memory>
#include <vector>

template <typename T>
class TStOwningList {
public:
    TStOwningList() = default;
    ~TStOwningList() { Clear(); }
    TStOwningList(const TStOwningList&) = delete;
    TStOwningList& operator=(const TStOwningList&) = delete;

    int Count() const { return static_cast<int>(m_items.size()); }
    // Nil for an index outside the list.
    T* Items(int index) const
    {
        return index >= 0 && index < Count() ? m_items[static_cast<std::size_t>(index)].get() : nullptr;
    }
    // Appends and owns `item`; answers its index.
    int Add(std::unique_ptr<T> item)
    {
        if (item)
            item->SetOwnerList(this);
        m_items.push_back(std::move(item));
        return Count() - 1;
    }
    // Replaces the entry (freeing the old one); nothing outside the list.
    void Put(int index, std::unique_ptr<T> item)
    {
        if (index < 0 || index >= Count())
            return;
        if (item)
            item->SetOwnerList(this);
        m_items[static_cast<std::size_t>(index)] = std::move(item);
    }
    // Frees every element, then empties the list.
    void Clear()
    {
        for (auto& item : m_items)
            item.reset();
        m_items.clear();
    }

private:
    std::vector<std::unique_ptr<T>> m_items;
};

class TStShellItemList : public TStOwningList<TStShellItem> {};

// The folder list checks its index like the item list: the folder tree
// looks entries up by indexes stored in its nodes, and a stale index must
// answer nil rather than read past the list.
class TStShellFolderList : public TStOwningList<TStShellFolder> {};
