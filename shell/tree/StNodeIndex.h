// SPDX-License-Identifier: MIT
#pragma once
// Nodes found by a 64-bit hash of a key (an id list's bytes, a path): an
// open-addressing table of (hash, node) pairs in one array, so a tree of
// 100,000 nodes does not pay an allocation per node and key. Several nodes
// may share a hash; the caller checks each against the real key.

#include <cstddef>
#include <cstddef>
#include <functional>
#include <vector>

struct TStTreeNode;

class TStNodeIndex {
public:
    void Insert(std::size_t hash, TStTreeNode* node);
    void Erase(std::size_t hash, TStTreeNode* node);
    void Clear();
    // Calls `visit` for each node stored under `hash`.
    void ForEach(std::size_t hash, const std::function<void(TStTreeNode*)>& visit) const;

private:
    struct Slot {
        std::size_t hash = 0;
        TStTreeNode* node = nullptr; // null: empty; Removed(): an entry taken out
    };
    static TStTreeNode* Removed() { return reinterpret_cast<TStTreeNode*>(alignof(std::max_align_t)); }

    std::size_t Mask() const { return slots_.size() - 1; }
    void Grow();

    std::vector<Slot> slots_;
    std::size_t used_ = 0; // entries and removed entries: both stop a probe
};
