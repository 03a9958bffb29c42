// SPDX-License-Identifier: MIT
#pragma once
// TStList: a list that owns its items.
//
// Items are held by std::unique_ptr: removing an item, clearing the list or
// destroying it frees the items. The list takes no lock of its own; TStDQue
// wraps it for use from several threads.

#include "base/exceptions/SsBase.h"

#include <cstddef>
#include <list>
#include <memory>

template <class T>
class TStList {
public:
    TStList() = default;
    TStList(const TStList&) = delete;
    TStList& operator=(const TStList&) = delete;
    TStList(TStList&&) noexcept = default;
    TStList& operator=(TStList&&) noexcept = default;

    // Adds `item` at the tail; an empty pointer raises ESsContainerError.
    void Append(std::unique_ptr<T> item) { m_items.push_back(checked(std::move(item))); }

    // Adds `item` at the head; an empty pointer raises ESsContainerError.
    void Insert(std::unique_ptr<T> item) { m_items.push_front(checked(std::move(item))); }

    // The first / last item, still owned by the list; null when empty.
    T* Head() const { return m_items.empty() ? nullptr : m_items.front().get(); }
    T* Tail() const { return m_items.empty() ? nullptr : m_items.back().get(); }

    // Frees the first / last item; false when the list is empty.
    bool RemoveHead() { return TakeHead() != nullptr; }
    bool RemoveTail() { return TakeTail() != nullptr; }

    // Hands the first / last item over to the caller; null when empty.
    std::unique_ptr<T> TakeHead()
    {
        if (m_items.empty())
            return nullptr;
        std::unique_ptr<T> item = std::move(m_items.front());
        m_items.pop_front();
        return item;
    }
    std::unique_ptr<T> TakeTail()
    {
        if (m_items.empty())
            return nullptr;
        std::unique_ptr<T> item = std::move(m_items.back());
        m_items.pop_back();
        return item;
    }

    std::size_t Count() const { return m_items.size(); }
    bool IsEmpty() const { return m_items.empty(); }
    void Clear() { m_items.clear(); }

    template <class Visit>
    void ForEach(Visit visit) const
    {
        for (const auto& item : m_items)
            visit(*item);
    }

private:
    static std::unique_ptr<T> checked(std::unique_ptr<T> item)
    {
        if (!item)
            throw ESsContainerError(ssscNilItem);
        return item;
    }

    std::list<std::unique_ptr<T>> m_items;
};
