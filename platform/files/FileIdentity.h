#pragma once
// What we remember of a file between reading it and replacing it, so that a
// change made behind our back can be noticed and the replacement can carry
// over the original's mode and ownership.

#include <cstdint>
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
        return device == other.device && inode == other.inode && size == other.size
            && modifiedNs == other.modifiedNs;
    }
};

} // namespace dw::platform
