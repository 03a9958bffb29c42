// SPDX-License-Identifier: MIT
#pragma once
// What we remember of a file between reading it and replacing it, so that a
// change made behind our back can be noticed and the replacement can carry
// over the original's mode and ownership.

#include <cstdint>
#include <sys/stat.h>
#include <sys/types.h>

namespace dw::platform {

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t modifiedNs = 0;
    mode_t mode = 0;
    uid_t owner = 0;
    gid_t group = 0;
    nlink_t links = 0;

    // Same file, same size, same last write.
    bool sameContentAs(const FileIdentity& other) const
    {
        return sameFileAs(other) && size == other.size && modifiedNs == other.modifiedNs;
    }
    bool sameFileAs(const FileIdentity& other) const { return device == other.device && inode == other.inode; }
};

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

// What the open file `fd` is now; false (errno set) when fstat fails.
bool identityOf(int fd, FileIdentity& identity);

} // namespace dw::platform
