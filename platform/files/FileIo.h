// SPDX-License-Identifier: MIT
#pragma once
// The few system calls through which file contents reach the disk. The safe
// writer goes through this table so that tests can make a write come up short,
// fail with a full disk, or fail to sync, exactly where the kernel could.
// Failures answer -1 and set errno, on Windows too.

#include "platform/files/FileDescriptor.h"

#include <cstddef>
#include <cstdint>
#include <functional>

namespace dw::platform {

struct FileIo {
    // Writes up to `size` bytes at `offset`: the count written, or -1.
    std::function<std::int64_t(NativeFile fd, const void* data, std::size_t size, std::uint64_t offset)> pwrite;
    std::function<int(NativeFile fd)> fdatasync;
    std::function<int(NativeFile fd)> fsync;
};

// The real system calls.
const FileIo& systemFileIo();

// Reads up to `size` bytes at `offset`, never moving the file's position:
// the count read (0 at the end), or -1 and errno.
std::int64_t readAt(NativeFile fd, void* into, std::size_t size, std::uint64_t offset);

} // namespace dw::platform
