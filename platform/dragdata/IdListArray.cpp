// SPDX-License-Identifier: MIT
#include "platform/dragdata/IdListArray.h"

#include <algorithm>
#include <cstring>

namespace dw::platform {

namespace {

constexpr std::size_t kWord = 4;

void putWord(std::string& out, std::size_t at, std::uint32_t value)
{
    for (std::size_t i = 0; i < kWord; ++i)
        out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::uint32_t wordAt(std::string_view block, std::size_t at)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < kWord; ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(block[at + i])) << (8 * i);
    return value;
}

void appendList(std::string& out, const ItemIdList* list)
{
    static const unsigned char terminator[2] = {0, 0};
    if (!list)
        list = reinterpret_cast<const ItemIdList*>(terminator);
    out.append(reinterpret_cast<const char*>(list), ILGetSize(list));
}

// How many leading ids every list shares.
std::size_t sharedIdCount(const std::vector<const ItemIdList*>& lists)
{
    std::size_t shared = 0;
    std::vector<const ItemIdList*> at(lists);
    for (;;) {
        const ItemIdList* first = at.front();
        const std::uint16_t size = ILIdSize(first);
        if (size == 0)
            return shared;
        for (const ItemIdList*& list : at) {
            if (ILIdSize(list) != size || std::memcmp(list, first, size) != 0)
                return shared;
        }
        for (const ItemIdList*& list : at)
            list = ILGetNext(list);
        ++shared;
    }
}

const ItemIdList* skipIds(const ItemIdList* list, std::size_t count)
{
    for (; count > 0; --count)
        list = ILGetNext(list);
    return list;
}

// The list at `offset`, checked and copied. `budget` is what the lists read
// so far leave of the block's size, which all lists together may not pass;
// the validator is never offered more, so however often offsets repeat, no
// more bytes are looked at than the block holds.
IdListPtr validatedCopy(std::string_view block, std::size_t offset, IdListValidator validate,
                        std::size_t& budget, IdListArrayError& why)
{
    const char* start = block.data() + offset;
    const std::size_t available = block.size() - offset;
    const std::size_t window = std::min(available, budget);
    const std::uint32_t size = validate(start, window);
    if (size == 0 || size > window) {
        why = window < available ? IdListArrayError::SharedBytes : IdListArrayError::BadList;
        return nullptr;
    }
    budget -= size;
    return IdListPtr(ILCloneValidated(start, size));
}

// Whether the absolute lists the items stand for (the parent's ids before
// each item's own) stay within kMaxIdListArrayBytes together.
bool absoluteListsFit(const IdListArray& items)
{
    const std::uint64_t parentIds = ILGetSize(items.parent.get()) - 2;
    std::uint64_t total = 0;
    for (const IdListPtr& child : items.children) {
        total += parentIds + ILGetSize(child.get());
        if (total > kMaxIdListArrayBytes)
            return false;
    }
    return true;
}

std::optional<IdListArray> refuse(IdListArrayError why, IdListArrayError* error)
{
    if (error)
        *error = why;
    return std::nullopt;
}

} // namespace

std::vector<IdListPtr> IdListArray::absoluteLists() const
{
    std::vector<IdListPtr> lists;
    lists.reserve(children.size());
    for (const IdListPtr& child : children)
        lists.emplace_back(ILCombine(parent.get(), child.get()));
    return lists;
}

std::string encodeIdListArray(const ItemIdList* parent, const std::vector<const ItemIdList*>& children)
{
    const std::size_t header = kWord * (children.size() + 2);
    std::string block(header, '\0');
    putWord(block, 0, static_cast<std::uint32_t>(children.size()));
    putWord(block, kWord, static_cast<std::uint32_t>(block.size()));
    appendList(block, parent);
    for (std::size_t i = 0; i < children.size(); ++i) {
        putWord(block, kWord * (i + 2), static_cast<std::uint32_t>(block.size()));
        appendList(block, children[i]);
    }
    return block;
}

std::string encodeIdListArrayOf(const std::vector<const ItemIdList*>& absoluteLists)
{
    const auto isDesktop = [](const ItemIdList* list) { return ILIdSize(list) == 0; };
    if (absoluteLists.empty() || std::any_of(absoluteLists.begin(), absoluteLists.end(), isDesktop))
        return {};
    std::size_t parentIds = sharedIdCount(absoluteLists);
    // Every item keeps at least its own last id below the parent.
    for (const ItemIdList* list : absoluteLists)
        parentIds = std::min(parentIds, ILCount(list) - 1);
    IdListPtr parent(ILClone(absoluteLists.front()));
    while (ILCount(parent.get()) > parentIds)
        ILRemoveLastID(parent.get());
    std::vector<const ItemIdList*> children;
    for (const ItemIdList* list : absoluteLists)
        children.push_back(skipIds(list, parentIds));
    return encodeIdListArray(parent.get(), children);
}

std::optional<IdListArray> decodeIdListArray(std::string_view block, IdListValidator validate,
                                             IdListArrayError* error)
{
    if (error)
        *error = IdListArrayError::None;
    if (block.size() < 3 * kWord || block.size() > kMaxIdListArrayBytes)
        return refuse(IdListArrayError::BadBlockSize, error);
    const std::uint32_t count = wordAt(block, 0);
    // 64-bit arithmetic: a count near 2^32 must not wrap the header size.
    const std::uint64_t header = kWord * (std::uint64_t{count} + 2);
    if (count == 0 || count > kMaxIdListArrayItems || header > block.size())
        return refuse(IdListArrayError::BadCount, error);
    IdListArray items;
    std::size_t budget = block.size();
    IdListArrayError why = IdListArrayError::None;
    for (std::uint32_t index = 0; index <= count; ++index) {
        const std::uint32_t offset = wordAt(block, kWord * (index + 1));
        if (offset < header || offset >= block.size())
            return refuse(IdListArrayError::BadOffset, error);
        IdListPtr list = validatedCopy(block, offset, validate, budget, why);
        if (!list)
            return refuse(why, error);
        if (index == 0) {
            items.parent = std::move(list);
            continue;
        }
        if (ILIdSize(list.get()) == 0)
            return refuse(IdListArrayError::EmptyItem, error);
        items.children.push_back(std::move(list));
    }
    if (!absoluteListsFit(items))
        return refuse(IdListArrayError::TooLarge, error);
    return items;
}

std::string describeIdListArrayError(IdListArrayError error)
{
    switch (error) {
    case IdListArrayError::None:
        return {};
    case IdListArrayError::BadBlockSize:
        return "The dragged data has an impossible size.";
    case IdListArrayError::BadCount:
        return "The dragged data claims an impossible number of items.";
    case IdListArrayError::BadOffset:
        return "The dragged data points outside itself.";
    case IdListArrayError::BadList:
        return "The dragged data holds an item this system does not know.";
    case IdListArrayError::EmptyItem:
        return "The dragged data holds an empty item.";
    case IdListArrayError::SharedBytes:
        return "The dragged data uses the same bytes for too many items.";
    case IdListArrayError::TooLarge:
        return "Too many items are dragged at once.";
    }
    return {};
}

} // namespace dw::platform
