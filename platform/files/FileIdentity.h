// SPDX-License-Identifier: MIT
#pragma once
// What we remember of a file between reading it and replacing it, so that a
// change made behind our back can be noticed and the replacement can carry
// over the original's mode and ownership.

#include "platform/files/FileDescriptor.h"

#include <cstdint>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

namespace dw::platform {

struct FileIdentity {
    std::uint64_t device = 0; // st_dev; on Windows the volume's serial number
    std::uint64_t inode = 0;  // st_ino; on Windows the file's id on its volume
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0; // only ever compared
    std::uint32_t mode = 0;      // st_mode; on Windows the file's attributes
    std::uint32_t owner = 0;     // POSIX user and group ids (Windows: see MatchMetadata)
    std::uint32_t group = 0;
    std::uint64_t links = 0;

    // Same file, same size, same last write.
    bool sameContentAs(const FileIdentity& other) const
    {
        return sameFileAs(other) && size == other.size && modifiedNs == other.modifiedNs;
    }
    bool sameFileAs(const FileIdentity& other) const { return device == other.device && inode == other.inode; }
};

#if !defined(_WIN32)
inline FileIdentity identityFromStat(const struct stat& status)
{
    FileIdentity identity;
    identity.device = status.st_dev;
    identity.inode = status.st_ino;
    identity.size = status.st_size;
    identity.modifiedNs = std::int64_t(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    identity.mode = status.st_mode;
    identity.owner = status.st_uid;
    identity.group = status.st_gid;
    identity.links = status.st_nlink;
    return identity;
}
#endif

// What the open file `fd` is now; false (errno set) when it cannot be asked.
bool identityOf(NativeFile fd, FileIdentity& identity);

} // namespace dw::platform
