// SPDX-License-Identifier: MIT
#pragma once
// The id-list array: one or more namespace items as a single block of
// bytes, the data of the registered clipboard format "Shell IDList Array"
// (see platform/shellmodule/ClipboardFormats.h for its MIME type).
//
// Every number is a 32-bit little-endian integer; offsets count from the
// first byte of the block.
//
//   offset 0              cidl: how many items the block carries (1 or more)
//   offset 4              aoffset[0]: where the parent folder's absolute id
//                         list starts (the empty list: the desktop)
//   offset 8 ...          aoffset[1] .. aoffset[cidl]: where each item's id
//                         list, relative to that parent, starts (never empty)
//   offset 4 * (cidl + 2) the lists themselves, each closed by its own
//                         terminator, in the order of their offsets
//
// So one folder /home/ann/Cal dragged out of the tree is the parent list of
// /home/ann, then the one-id list "Cal". The id lists are laid out as
// platform/idlist/IdList.h describes.
//
// Blocks from other programs are untrusted. The decoder refuses a block
// that is too small or too large, a count that does not fit the block, an
// offset inside the header or past the end, a list without its terminator
// within the block, an empty item list, and any list the caller's validator
// refuses (the namespace checks each id's record). Nothing is read outside
// the block. Bytes after the last list are ignored.
//
// Reading a block costs no more than its size. Lists may share bytes, but
// all of them together may not be longer than the block: otherwise every
// offset could name the same long list, and a block of 16 MiB would be read
// and copied 65,536 times. And since each item's absolute list is its
// parent's list followed by its own, the items of one block may hold at most
// kMaxIdListArrayBytes of absolute lists together: a long parent shared by
// many items is refused, as a text/uri-list naming the same items would be.

#include "platform/idlist/IdList.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dw::platform {

inline constexpr std::size_t kMaxIdListArrayBytes = 16u << 20;
inline constexpr std::uint32_t kMaxIdListArrayItems = 65536;

struct IdListArray {
    IdListPtr parent;
    std::vector<IdListPtr> children;

    // parent + child for each child, in order; at most kMaxIdListArrayBytes
    // together for a decoded block.
    std::vector<IdListPtr> absoluteLists() const;
};

// The block for `children` (relative lists, at least one) of `parent`
// (absolute; null is the desktop).
std::string encodeIdListArray(const ItemIdList* parent, const std::vector<const ItemIdList*>& children);

// The block for items given by absolute lists: their nearest common parent
// and each item's list below it. Empty when `absoluteLists` is empty or
// holds the desktop itself (which has no parent).
std::string encodeIdListArrayOf(const std::vector<const ItemIdList*>& absoluteLists);

enum class IdListArrayError {
    None,
    BadBlockSize,   // smaller than a header of one item, or over kMaxIdListArrayBytes
    BadCount,       // no items, too many, or more offsets than the block holds
    BadOffset,      // an offset inside the header or at or past the end
    BadList,        // a list without terminator in the block, or refused by the validator
    EmptyItem,      // an item whose relative list is empty (the parent itself)
    SharedBytes,    // the lists together are longer than the block holds
    TooLarge,       // the items' absolute lists together are over kMaxIdListArrayBytes
};

// Checks a list at the start of `buffer` (at most `size` bytes) and answers
// its size with terminator, 0 when it is malformed (ILValidate's shape).
using IdListValidator = std::uint32_t (*)(const void* buffer, std::size_t size);

// The items of `block`, or nothing (and `error` says why) when it is malformed.
std::optional<IdListArray> decodeIdListArray(std::string_view block, IdListValidator validate,
                                             IdListArrayError* error = nullptr);

// A short sentence for the user: why a drag's data was refused.
std::string describeIdListArrayError(IdListArrayError error);

} // namespace dw::platform
