// SPDX-License-Identifier: MIT
#pragma once
// Item identifier lists.
//
// An item id is a length-prefixed record:
//
//   offset 0  uint16 little-endian  cb: size of the whole id in bytes, these
//                                   two bytes included (so cb >= 2 for an id)
//   offset 2  cb - 2 bytes          the id's data, owned by the namespace that
//                                   made it (see platform/namespace)
//
// An id list is a chain of ids laid end to end, closed by a terminator whose
// cb is 0. The empty list (just the terminator) names the desktop. Ids are
// byte records without alignment: every access goes through these functions.
//
// Lists are allocated with ILAlloc and released with ILFree (or owned by an
// IdListPtr). Functions taking a list from this process trust its chain;
// lists that arrive from outside (drag data, change reports of another
// process, files) must first pass ILValidate with their buffer size.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace dw::platform {

struct ItemIdList {
    unsigned char cb[2];
    unsigned char data[1];
};

// Size in bytes of the first id of `list` (0 at the terminator or for null).
std::uint16_t ILIdSize(const ItemIdList* list);

// The bytes of the first id after its size field.
std::string_view ILIdData(const ItemIdList* list);

// Allocates an uninitialised list buffer of `bytes` bytes; null when out of memory.
ItemIdList* ILAlloc(std::size_t bytes);

// Releases a list made by any function here; null is allowed.
void ILFree(ItemIdList* list);

// Bytes in the list including the terminator; 0 for null.
std::uint32_t ILGetSize(const ItemIdList* list);

// The next id of the chain, or null when `list` is null or at the terminator.
// (Stepping from the last id gives the terminator itself, which is the empty list.)
const ItemIdList* ILGetNext(const ItemIdList* list);
ItemIdList* ILGetNext(ItemIdList* list);

// The last id of the list (the list itself when it is empty); null for null.
const ItemIdList* ILFindLastID(const ItemIdList* list);
ItemIdList* ILFindLastID(ItemIdList* list);

// Cuts the last id off in place; false when the list is null or empty.
bool ILRemoveLastID(ItemIdList* list);

// A copy of the whole list; null for null.
ItemIdList* ILClone(const ItemIdList* list);

// A list holding only the first id of `list`; null for null.
ItemIdList* ILCloneFirst(const ItemIdList* list);

// `first` followed by `second`; either may be null (taken as empty);
// null only when both are null.
ItemIdList* ILCombine(const ItemIdList* first, const ItemIdList* second);

// True when both lists hold the same ids byte for byte. Two nulls are equal;
// null equals the empty list.
bool ILIsEqual(const ItemIdList* first, const ItemIdList* second);

// Checks a list that came from outside the process: every id's size lies
// within `bufferSize`, no id has a size of 1, and a terminator is reached
// within the buffer. Answers the list's size with terminator, or 0 when the
// buffer does not hold a well-formed list.
std::uint32_t ILValidate(const void* buffer, std::size_t bufferSize);

// Number of ids in the list (0 for the empty list).
std::size_t ILCount(const ItemIdList* list);

// A list of one id holding `data`; null when data is longer than an id can hold.
ItemIdList* ILCreateFromData(std::string_view data);

// A list copied from a validated outside buffer; null when it is malformed.
ItemIdList* ILCloneValidated(const void* buffer, std::size_t bufferSize);

struct IdListDeleter {
    void operator()(ItemIdList* list) const noexcept { ILFree(list); }
};
// Owning handle for a list allocated here.
using IdListPtr = std::unique_ptr<ItemIdList, IdListDeleter>;

inline IdListPtr cloneIdList(const ItemIdList* list) { return IdListPtr(ILClone(list)); }

} // namespace dw::platform
