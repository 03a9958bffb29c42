// SPDX-License-Identifier: MIT
#pragma once
// Reading a folder and its entries through a folder descriptor: one statx
// per entry gives its kind, mode, size, time, compression and whether it is
// the root of a mount, without opening it; a subfolder probe opens a child
// once and stops at its first subfolder.

#include "platform/namespace/ChildListing.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dw::platform {

struct EntryStatus {
    EntryType type = EntryType::Unknown; // symbolic links followed
    bool isLink = false;
    bool dangling = false;               // a link whose target cannot be reached
    bool mountRoot = false;              // the entry is where a volume is mounted
    bool compressed = false;
    std::uint32_t mode = 0;              // permission bits of the entry (the target's for links)
    std::uint64_t size = 0;
    std::int64_t lastWriteSeconds = 0;
    std::int32_t lastWriteNanoseconds = 0;
};

// The status of `name` in the folder open as `folderFd` (a path relative to
// the working folder with AT_FDCWD); nothing when the entry is gone.
std::optional<EntryStatus> statEntry(int folderFd, const char* name);

// The modification time of the folder (or file) open as `fd`, in
// nanoseconds since 1970; -1 when it cannot be read.
std::int64_t modificationTimeNs(int fd);

// ENTRY_* flags of an id for an entry of this status.
std::uint8_t entryFlagsOf(const EntryStatus& status);

// FILE_ATTRIBUTE_* bits of the find data for an entry of this status.
std::uint32_t findAttributesOf(const EntryStatus& status, std::string_view name);

struct SubfolderProbe {
    int error = 0;             // errno when the child could not be opened as a folder
    bool hasSubfolder = false; // or more entries than the probe reads
    bool hasEntries = false;
};

// Opens `name` (a folder, or a link to one) below `folderFd` once and reads
// at most `entryLimit` entries, stopping at the first subfolder. A folder
// with more entries than that is taken to have subfolders; a view finds out
// when it opens it.
SubfolderProbe probeSubfolders(int folderFd, const char* name, int entryLimit = 512);

// A folder read entry by entry through its descriptor, in the order the
// file system returns them, without "." and "..".
class EntryReader {
public:
    explicit EntryReader(const std::string& path);
    ~EntryReader();
    EntryReader(const EntryReader&) = delete;
    EntryReader& operator=(const EntryReader&) = delete;

    int error() const { return error_; } // errno of opening or reading
    int fd() const { return fd_; }
    // The next entry's name (valid until the next call) and its directory
    // entry type (DT_*); false at the end or on a read error.
    bool next(const char*& name, unsigned char& type);

private:
    bool refill();

    int fd_ = -1;
    int error_ = 0;
    std::vector<char> buffer_;
    std::size_t position_ = 0;
    std::size_t end_ = 0;
};

} // namespace dw::platform
