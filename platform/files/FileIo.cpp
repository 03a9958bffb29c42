// SPDX-License-Identifier: MIT
#include "platform/files/FileIo.h"

#include <cerrno>
#include <unistd.h>

namespace dw::platform {

const FileIo& systemFileIo()
{
    static const FileIo io{
        [](int fd, const void* data, std::size_t size, std::uint64_t offset) -> std::int64_t {
            return ::pwrite(fd, data, size, off_t(offset));
        },
        [](int fd) { return ::fdatasync(fd); },
        [](int fd) { return ::fsync(fd); },
    };
    return io;
}

std::int64_t readAt(NativeFile fd, void* into, std::size_t size, std::uint64_t offset)
{
    ssize_t got;
    do {
        got = ::pread(fd, into, size, off_t(offset));
    } while (got < 0 && errno == EINTR);
    return got;
}

} // namespace dw::platform
