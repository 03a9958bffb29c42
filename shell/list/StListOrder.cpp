// SPDX-License-Identifier: MIT
#include "shell/list/StListOrder.h"

#include "platform/namespace/NaturalOrder.h"
#include "shell/list/StListColumns.h"

#include <QCollator>

#include <algorithm>
#include <map>

using namespace dw::platform;

namespace {

int Sign(std::int64_t value)
{
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

template <typename T>
int CompareNumbers(T a, T b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

// The letters read as one big-endian number: comparing numbers compares
// the texts (at most seven letters, so they fit).
std::uint64_t PackedLetters(const std::string& letters)
{
    std::uint64_t packed = 0;
    for (std::size_t i = 0; i < 8; ++i)
        packed = (packed << 8) | (i < letters.size() ? static_cast<unsigned char>(letters[i]) : 0u);
    return packed;
}

struct SortEntry {
    std::uint8_t group;   // folders 0, files 1
    std::uint64_t value;
    std::uint32_t second;
    std::uint32_t name;   // rank in the name order
    std::uint32_t index;

    bool operator<(const SortEntry& other) const
    {
        if (group != other.group)
            return group < other.group;
        if (value != other.value)
            return value < other.value;
        if (second != other.second)
            return second < other.second;
        return name < other.name;
    }
};

} // namespace

int TStTypeRanks::KeyOf(const ChildRecord& record)
{
    if (IsFolderRecord(record))
        return (record.attributes & SFGAO_FILESYSTEM) ? kFolderKey : kSystemFolderKey;
    return record.typeIndex; // -1: "File"
}

void TStTypeRanks::Add(const std::vector<const ChildRecord*>& records)
{
    std::map<int, QString> texts; // every key, old and new, with its text
    bool anyNew = false;
    for (const ChildRecord* record : records) {
        const int key = KeyOf(*record);
        if (!ranks_.count(key) && !texts.count(key)) {
            texts.emplace(key, TypeTextOf(*record));
            anyNew = true;
        }
    }
    if (!anyNew)
        return;
    std::vector<std::pair<QString, int>> all;
    for (const auto& [key, rank] : ranks_) {
        ChildRecord probe;
        probe.typeIndex = key;
        if (key == kFolderKey)
            probe.attributes = SFGAO_FOLDER | SFGAO_FILESYSTEM;
        else if (key == kSystemFolderKey)
            probe.attributes = SFGAO_FOLDER;
        all.emplace_back(TypeTextOf(probe), key);
    }
    for (const auto& [key, text] : texts)
        all.emplace_back(text, key);
    // A collator of this thread's own: collators are not to be shared
    // between threads.
    QCollator collator;
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(all.begin(), all.end(), [&](const auto& a, const auto& b) {
        const int order = collator.compare(a.first, b.first);
        return order != 0 ? order < 0 : a.second < b.second;
    });
    ranks_.clear();
    for (std::size_t rank = 0; rank < all.size(); ++rank)
        ranks_[all[rank].second] = int(rank);
}

int TStTypeRanks::RankOf(const ChildRecord& record) const
{
    const auto found = ranks_.find(KeyOf(record));
    return found == ranks_.end() ? 0 : found->second;
}

std::uint64_t TStListOrder::ValueOf(const ChildRecord& record) const
{
    switch (column_) {
    case lcName:
        return 0;
    case lcSize:
        return record.file ? record.file->size : 0;
    case lcType:
        return std::uint64_t(types_.RankOf(record));
    case lcModified:
        // Signed seconds as an unsigned number of the same order.
        return record.file ? std::uint64_t(record.file->lastWriteSeconds) ^ (std::uint64_t(1) << 63) : 0;
    case lcAttributes:
        return PackedLetters(AttributeLetters(record));
    }
    return 0;
}

std::uint32_t TStListOrder::SecondValueOf(const ChildRecord& record) const
{
    return column_ == lcModified && record.file ? std::uint32_t(record.file->lastWriteNanoseconds) : 0;
}

int TStListOrder::CompareValues(const ChildRecord& a, const ChildRecord& b) const
{
    if (const int order = CompareNumbers(ValueOf(a), ValueOf(b)); order != 0)
        return order;
    return CompareNumbers(SecondValueOf(a), SecondValueOf(b));
}

int TStListOrder::CompareNames(const ChildRecord& a, const ChildRecord& b) const
{
    int order = desktop_ ? compareSiblings(a, b, *desktop_) : compareNames(a.displayName, b.displayName);
    if (order == 0)
        order = a.parsingName.compare(b.parsingName);
    return Sign(order);
}

int TStListOrder::Compare(const ChildRecord& a, const ChildRecord& b) const
{
    const bool folderA = IsFolderRecord(a);
    if (folderA != IsFolderRecord(b))
        return folderA ? -1 : 1;
    const bool descending = order_ == Qt::DescendingOrder;
    if (column_ != lcName) {
        if (const int order = CompareValues(a, b); order != 0)
            return descending ? -order : order;
    }
    const int names = CompareNames(a, b);
    return column_ == lcName && descending ? -names : names;
}

std::vector<std::uint32_t> TStListOrder::Sorted(const RecordAt& records, const std::vector<std::uint32_t>& candidates,
                                                const std::vector<std::uint32_t>& nameRanks) const
{
    const bool descending = order_ == Qt::DescendingOrder;
    std::vector<SortEntry> entries;
    entries.reserve(candidates.size());
    for (const std::uint32_t index : candidates) {
        const ChildRecord& record = records(index);
        SortEntry entry{IsFolderRecord(record) ? std::uint8_t(0) : std::uint8_t(1), ValueOf(record),
                        SecondValueOf(record), nameRanks[index], index};
        if (descending) {
            entry.value = ~entry.value;
            entry.second = ~entry.second;
            if (column_ == lcName)
                entry.name = ~entry.name;
        }
        entries.push_back(entry);
    }
    std::sort(entries.begin(), entries.end());
    std::vector<std::uint32_t> sorted;
    sorted.reserve(entries.size());
    for (const SortEntry& entry : entries)
        sorted.push_back(entry.index);
    return sorted;
}
