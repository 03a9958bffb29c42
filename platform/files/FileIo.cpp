// SPDX-License-Identifier: MIT
#include "platform/files/FileIo.h"

#include <unistd.h>

namespace dw::platform {

const FileIo& systemFileIo()
{
    static const FileIo io{
        [](int fd, const void* data, std::size_t size, off_t offset) { return ::pwrite(fd, data, size, offset); },
        [](int fd) { return ::fdatasync(fd); },
        [](int fd) { return ::fsync(fd); },
    };
    return io;
}

} // namespace dw::platform
