// SPDX-License-Identifier: MIT
#pragma once
// Moves file contents through the writes of a FileIo, so that tests can make
// any of them fail.

#include "platform/files/FileIo.h"

#include <cstdint>
#include <string_view>

namespace dw::platform {

// Writes all of `bytes` at `offset`, carrying on after short writes; 0 or
// errno (ENOSPC for a write that makes no progress).
int writeAll(const FileIo& io, NativeFile fd, std::string_view bytes, std::uint64_t offset);

// Copies the first `size` bytes of `from` to the start of `to`; 0 or errno
// (EAGAIN when `from` holds fewer bytes than that).
int copyContents(const FileIo& io, NativeFile from, NativeFile to, std::uint64_t size);

} // namespace dw::platform
