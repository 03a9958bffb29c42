// SPDX-License-Identifier: MIT
#pragma once
// TStDQue: a double-ended queue that owns its items, for producers and a
// consumer on different threads.
//
// Every operation takes the queue's own lock, and no operation calls out to
// other code while holding it, so a handler that runs while the consumer
// drains may append to the same queue.
//
// The consumer drains by looking at the head, handling it, then removing it:
//
//   while (T* item = queue.Head()) {
//       handle(*item);          // may Append() more items
//       queue.RemoveHead();     // frees `item`
//   }
//
// The item that Head() returns stays valid until it is removed, so only one
// consumer may remove items at a time (any number of threads may append).

#include "base/containers/SsList.h"

#include <cstddef>
#include <memory>
#include <mutex>

template <class T>
class TStDQue {
public:
    TStDQue() = default;
    TStDQue(const TStDQue&) = delete;
    TStDQue& operator=(const TStDQue&) = delete;

    // Adds `item` at the tail and answers the number of items now queued, so
    // that a producer can tell whether it made the queue non-empty.
    std::size_t Append(std::unique_ptr<T> item)
    {
        std::lock_guard lock(m_mutex);
        m_items.Append(std::move(item));
        return m_items.Count();
    }

    // Adds `item` at the head; answers the number of items now queued.
    std::size_t PushHead(std::unique_ptr<T> item)
    {
        std::lock_guard lock(m_mutex);
        m_items.Insert(std::move(item));
        return m_items.Count();
    }

    // The head item, still owned by the queue; null when empty.
    T* Head() const
    {
        std::lock_guard lock(m_mutex);
        return m_items.Head();
    }

    // Frees the head item; false when the queue is empty.
    bool RemoveHead()
    {
        std::unique_ptr<T> item = PopHead();
        return item != nullptr;
    }

    // Hands the head item over to the caller; null when empty.
    std::unique_ptr<T> PopHead()
    {
        std::lock_guard lock(m_mutex);
        return m_items.TakeHead();
    }

    std::size_t Count() const
    {
        std::lock_guard lock(m_mutex);
        return m_items.Count();
    }

    bool IsEmpty() const { return Count() == 0; }

    // Frees every queued item.
    void Clear()
    {
        TStList<T> dropped;
        {
            std::lock_guard lock(m_mutex);
            std::swap(dropped, m_items);
        }
    }

private:
    mutable std::mutex m_mutex;
    TStList<T> m_items;
};
