// SPDX-License-Identifier: MIT
#include "shell/tree/StNodeIndex.h"

void TStNodeIndex::Insert(std::size_t hash, TStTreeNode* node)
{
    if ((used_ + 1) * 5 > slots_.size() * 4)
        Grow();
    for (std::size_t at = hash & Mask();; at = (at + 1) & Mask()) {
        Slot& slot = slots_[at];
        if (!slot.node) {
            slot = {hash, node};
            ++used_;
            return;
        }
    }
}

void TStNodeIndex::Erase(std::size_t hash, TStTreeNode* node)
{
    if (slots_.empty())
        return;
    for (std::size_t at = hash & Mask();; at = (at + 1) & Mask()) {
        Slot& slot = slots_[at];
        if (!slot.node)
            return;
        if (slot.node == node && slot.hash == hash) {
            slot = {0, Removed()};
            return;
        }
    }
}

void TStNodeIndex::Clear()
{
    slots_.clear();
    used_ = 0;
}

void TStNodeIndex::ForEach(std::size_t hash, const std::function<void(TStTreeNode*)>& visit) const
{
    if (slots_.empty())
        return;
    for (std::size_t at = hash & Mask();; at = (at + 1) & Mask()) {
        const Slot& slot = slots_[at];
        if (!slot.node)
            return;
        if (slot.node != Removed() && slot.hash == hash)
            visit(slot.node);
    }
}

// Twice the room, removed entries dropped.
void TStNodeIndex::Grow()
{
    std::vector<Slot> old = std::move(slots_);
    std::size_t live = 0;
    for (const Slot& slot : old)
        live += slot.node && slot.node != Removed();
    std::size_t size = 16;
    while (size < (live + 1) * 2)
        size *= 2;
    slots_.assign(size, Slot{});
    used_ = 0;
    for (const Slot& slot : old)
        if (slot.node && slot.node != Removed())
            Insert(slot.hash, slot.node);
}
