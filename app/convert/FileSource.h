// SPDX-License-Identifier: MIT
#pragma once

#include "app/convert/CalendarStream.h"
#include "platform/files/FileDescriptor.h"

namespace dw::convert {

// Reads a calendar open as `fd`, at offsets, never moving its position.
// `expectedSize` is its size when it was opened: a read that comes up short
// there is its end, which spares the call that would only say so. (Should the
// file have grown, the change watch on it says so before anything is written.)
class FileSource : public CalendarSource {
public:
    FileSource(platform::NativeFile fd, std::uint64_t expectedSize) : fd_(fd), expectedSize_(expectedSize) {}
    std::int64_t readAt(char* into, std::size_t size, std::uint64_t offset) override;

private:
    platform::NativeFile fd_;
    std::uint64_t expectedSize_;
};

} // namespace dw::convert
