// SPDX-License-Identifier: MIT
#pragma once
// Starts writing a file's new pages to disk early, so that the flush which
// must come before it replaces a calendar finds little left to do, and a
// large file never piles up gigabytes of unwritten pages.

#include "platform/files/FileDescriptor.h"

#include <cstdint>

namespace dw::platform {

// Asks the disk to start on bytes [offset, offset + length); does not wait.
void startWriteback(NativeFile fd, std::uint64_t offset, std::uint64_t length);

// Waits until bytes [offset, offset + length) have been handed to the disk.
void awaitWriteback(NativeFile fd, std::uint64_t offset, std::uint64_t length);

} // namespace dw::platform
