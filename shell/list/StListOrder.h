// SPDX-License-Identifier: MIT
#pragma once
// The order of a file list's rows: a total order, so that sorting is the
// same whatever order the rows came in. Folders come before files in both
// directions; then the sort column's value (sizes and times as numbers,
// types and attribute letters as text); then the name, in the namespace's
// order (natural, without regard to case, by the records' collation keys);
// the name's bytes settle the rest. A descending sort reverses the
// column's value; ties keep their names in ascending order, except in the
// Name column itself.

#include "platform/listing/ChildRecord.h"
#include "shell/list/StListOptions.h"

#include <Qt>

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

// Ranks of the type texts a list shows, in the locale's order of the texts:
// sorting by type then compares numbers. A rank table grows as new types
// come; the order of the types already ranked never changes.
class TStTypeRanks {
public:
    // The key of a record's type: its type index, or one of the kinds below.
    static int KeyOf(const dw::platform::ChildRecord& record);
    // Makes sure every key of `records` has a rank.
    void Add(const std::vector<const dw::platform::ChildRecord*>& records);
    int RankOf(const dw::platform::ChildRecord& record) const;
    void Clear() { ranks_.clear(); }

private:
    static constexpr int kFolderKey = -2;
    static constexpr int kSystemFolderKey = -3;
    std::unordered_map<int, int> ranks_;
};

class TStListOrder {
public:
    TStListOrder(TStListColumn column, Qt::SortOrder order, const TStTypeRanks& types,
                 dw::platform::IShellFolder* desktop)
        : column_(column), order_(order), types_(types), desktop_(desktop)
    {
    }

    // Whether `a` comes before `b`.
    bool operator()(const dw::platform::ChildRecord& a, const dw::platform::ChildRecord& b) const
    {
        return Compare(a, b) < 0;
    }
    int Compare(const dw::platform::ChildRecord& a, const dw::platform::ChildRecord& b) const;
    // The name order alone (folders first): negative, 0 or positive.
    int CompareNames(const dw::platform::ChildRecord& a, const dw::platform::ChildRecord& b) const;

    // The rows of `records` (indexes into it) in this order, all at once:
    // every row's value is taken once, names by their rank in `nameOrder`
    // (every index in name order), so sorting compares only numbers.
    using RecordAt = std::function<const dw::platform::ChildRecord&(std::uint32_t index)>;
    std::vector<std::uint32_t> Sorted(const RecordAt& records, const std::vector<std::uint32_t>& candidates,
                                      const std::vector<std::uint32_t>& nameRanks) const;

    TStListColumn GetColumn() const { return column_; }
    Qt::SortOrder GetOrder() const { return order_; }

private:
    int CompareValues(const dw::platform::ChildRecord& a, const dw::platform::ChildRecord& b) const;
    std::uint64_t ValueOf(const dw::platform::ChildRecord& record) const;
    std::uint32_t SecondValueOf(const dw::platform::ChildRecord& record) const;

    TStListColumn column_;
    Qt::SortOrder order_;
    const TStTypeRanks& types_;
    dw::platform::IShellFolder* desktop_;
};
