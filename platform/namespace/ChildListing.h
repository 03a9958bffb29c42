// SPDX-License-Identifier: MIT
#pragma once
// Listing a folder's children with their facts in one pass. A view needs,
// for every child, its id, names, a few attribute bits, its place in the
// folder's order and whether it has children of its own; asking the folder
// child by child costs several system calls per child, while a folder that
// reads its entries can learn all of that as it goes.

#include "platform/idlist/IdList.h"
#include "platform/namespace/NaturalOrder.h"
#include "platform/namespace/ShellTypes.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace dw::platform {

// The kind bits every listing answers, asked or not: a view needs them to
// tell folders, files and links apart.
constexpr SfgaoFlags kKindAttributes = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_LINK | SFGAO_SHARE;

// What a file-system entry is (symbolic links followed); Virtual for the
// namespace's own items, Unknown when it could not be told.
enum class EntryType : std::uint8_t {
    Unknown,
    Regular,
    Directory,
    Fifo,
    Socket,
    CharacterDevice,
    BlockDevice,
    Virtual,
};

// A child's place in its folder's order as a value: two children of one
// folder compare as the folder's CompareIDs (column 0) compares them.
struct ChildSortKey {
    // Groups come first by number (folders before files...), then names.
    ChildSortKey(int group, std::string_view name) : key(name, static_cast<char>(group)) {}

    int compare(const ChildSortKey& other) const { return key.compare(other.key); }

    NameSortKey key;
};

// Size and time of a file-system child, from the same read as its kind.
struct ChildFileFacts {
    std::uint64_t size = 0;               // 0 for folders
    std::int64_t lastWriteSeconds = 0;    // since 1970-01-01 UTC
    std::int32_t lastWriteNanoseconds = 0;
    std::uint32_t findAttributes = 0;     // FILE_ATTRIBUTE_* bits
};

struct ChildFacts {
    IdListPtr relative;                 // one id, relative to the folder
    SfgaoFlags attributes = 0;          // the asked bits the child has
    std::string displayName;            // SHGDN_NORMAL
    std::string parsingName;            // SHGDN_FORPARSING: a full path for files
    EntryType type = EntryType::Unknown;
    std::optional<ChildSortKey> sortKey; // none: only CompareIDs orders it
    std::optional<ChildFileFacts> file;  // file-system children, when asked
    // Whether a tree shows an expand button (see ListingOptions::probeChildren).
    bool hasChildren = false;
    // Why the child's own children could not be read (errno), 0 when they
    // could or were not looked at.
    int childrenError = 0;
};

struct ListingOptions {
    ShcontfFlags flags = SHCONTF_FOLDERS;
    SfgaoFlags attributes = 0; // the bits to answer for each child
    // Decide hasChildren as a folder tree does: a folder on a volume that may
    // be slow (removable, CD-ROM, network) has children without looking;
    // any other is opened once, and has children when it holds a subfolder,
    // or, with SHCONTF_NONFOLDERS among the flags, when it can be opened.
    bool probeChildren = false;
    // At most this many children are opened to decide: beyond them, a folder
    // is taken to have children, which a view corrects when it opens it. A
    // folder of 10,000 subfolders is then shown without opening each.
    std::size_t probeLimit = static_cast<std::size_t>(-1);
    bool fileFacts = false;
    // The drive type of the volume an item (absolute list) lies on; asked by
    // listings that cannot tell from their own knowledge. Empty: everything
    // counts as fixed.
    std::function<DriveType(const ItemIdList* absolute)> driveTypeOf;
    // Checked between children: a listing nobody waits for stops early.
    const std::atomic<bool>* cancelled = nullptr;

    bool isCancelled() const { return cancelled && cancelled->load(std::memory_order_relaxed); }
};

// Takes one child; false stops the listing.
using ChildSink = std::function<bool(ChildFacts&& child)>;

// After every child would have cut a folder's children short, a listing
// also says how it ended: S_OK, or the failure (resultFromErrno) that kept
// the folder from being read, so a view can say why.
struct ListingOutcome {
    HResult result = S_OK;
    int error = 0; // errno behind a failure, when there is one
};

} // namespace dw::platform
