// SPDX-License-Identifier: MIT
#include "platform/files/InodeFlags.h"

#include <cerrno>
#include <linux/fs.h>
#include <sys/ioctl.h>

namespace dw::platform {

namespace {

// Immutable and append-only are refused before any writing; the others
// describe how the file is to be kept, which the new file must keep too.
constexpr unsigned carriedOver = FS_SECRM_FL | FS_UNRM_FL | FS_COMPR_FL | FS_SYNC_FL | FS_NODUMP_FL
                               | FS_NOATIME_FL | FS_NOCOMP_FL | FS_NOCOW_FL;

} // namespace

unsigned inodeFlags(int fd)
{
    int flags = 0;
    return ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 ? unsigned(flags) : 0u;
}

bool forbidsRewriting(unsigned flags)
{
    return (flags & (FS_IMMUTABLE_FL | FS_APPEND_FL)) != 0;
}

int copyInodeFlags(unsigned from, int to)
{
    const unsigned now = inodeFlags(to);
    if ((now & carriedOver) == (from & carriedOver))
        return 0;
    int wanted = int((now & ~carriedOver) | (from & carriedOver));
    return ::ioctl(to, FS_IOC_SETFLAGS, &wanted) == 0 ? 0 : errno;
}

} // namespace dw::platform
