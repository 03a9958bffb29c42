// SPDX-License-Identifier: MIT
#include "platform/files/CopyContents.h"

#include "platform/files/ByteBuffer.h"

#include <algorithm>
#include <cerrno>

namespace dw::platform {

int writeAll(const FileIo& io, NativeFile fd, std::string_view bytes, std::uint64_t offset)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::int64_t wrote = io.pwrite(fd, bytes.data() + done, bytes.size() - done, offset + done);
        if (wrote < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (wrote == 0)
            return ENOSPC; // a write that makes no progress will never finish
        done += std::size_t(wrote);
    }
    return 0;
}

int copyContents(const FileIo& io, NativeFile from, NativeFile to, std::uint64_t size)
{
    ByteBuffer buffer;
    buffer.resizeUninitialised(std::size_t(std::min<std::uint64_t>(size, std::uint64_t(1) << 20)) + 1);
    for (std::uint64_t at = 0; at < size;) {
        const std::size_t want = std::size_t(std::min<std::uint64_t>(buffer.size(), size - at));
        const std::int64_t got = readAt(from, buffer.data(), want, at);
        if (got < 0)
            return errno;
        if (got == 0)
            return EAGAIN;
        if (int error = writeAll(io, to, {buffer.data(), std::size_t(got)}, at))
            return error;
        at += std::uint64_t(got);
    }
    return 0;
}

} // namespace dw::platform
