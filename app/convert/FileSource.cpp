// SPDX-License-Identifier: MIT
#include "app/convert/FileSource.h"

#include <cerrno>
#include <unistd.h>

namespace dw::convert {

std::int64_t FileSource::readAt(char* into, std::size_t size, std::uint64_t offset)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(fd_, into + done, size - done, off_t(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
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
