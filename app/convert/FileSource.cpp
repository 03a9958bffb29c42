// SPDX-License-Identifier: MIT
#include "app/convert/FileSource.h"

#include "platform/files/FileIo.h"

#include <cerrno>

namespace dw::convert {

std::int64_t FileSource::readAt(char* into, std::size_t size, std::uint64_t offset)
{
    std::size_t done = 0;
    while (done < size) {
        const std::int64_t got = platform::readAt(fd_, into + done, size - done, offset + done);
        if (got < 0)
            return -std::int64_t(errno);
        done += std::size_t(got);
        // Network and user-space file systems may answer in pieces before the end.
        if (got == 0 || offset + done >= expectedSize_)
            break;
    }
    return std::int64_t(done);
}

} // namespace dw::convert
