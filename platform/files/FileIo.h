// SPDX-License-Identifier: MIT
#pragma once
// The few system calls through which file contents reach the disk. The safe
// writer goes through this table so that tests can make a write come up short,
// fail with a full disk, or fail to sync, exactly where the kernel could.

#include <cstddef>
#include <functional>
#include <sys/types.h>

namespace dw::platform {

struct FileIo {
    std::function<ssize_t(int fd, const void* data, std::size_t size, off_t offset)> pwrite;
    std::function<int(int fd)> fdatasync;
    std::function<int(int fd)> fsync;
};

// The real system calls.
const FileIo& systemFileIo();

} // namespace dw::platform
