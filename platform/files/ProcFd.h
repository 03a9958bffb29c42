// SPDX-License-Identifier: MIT
#pragma once
// Reaches an open file again through the kernel's own table of our open
// files, /proc/self/fd. Opening "/proc/self/fd/N" gives the very inode behind
// descriptor N, never whatever a name points at by then, which is how a file
// found with O_PATH is opened for reading without a race, and how an unnamed
// file (O_TMPFILE) is given a name without special privileges.

#include "platform/files/FileDescriptor.h"

#include <string>

namespace dw::platform {

// Opens the inode behind `fd` anew with `flags`; -1 and errno on failure.
int reopenDescriptor(int fd, int flags);

// Links the inode behind `fd` (an unnamed file, or a file with a name) as
// `name` in the folder `folderFd`; 0 or errno.
int linkDescriptor(int fd, int folderFd, const std::string& name);

} // namespace dw::platform
