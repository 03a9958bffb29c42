// SPDX-License-Identifier: MIT
#include "platform/files/Writeback.h"

#include <fcntl.h>

namespace dw::platform {

// Both are hints: a failed write is reported by the flush that follows.
void startWriteback(int fd, std::uint64_t offset, std::uint64_t length)
{
    (void)::sync_file_range(fd, off64_t(offset), off64_t(length), SYNC_FILE_RANGE_WRITE);
}

void awaitWriteback(int fd, std::uint64_t offset, std::uint64_t length)
{
    (void)::sync_file_range(fd, off64_t(offset), off64_t(length),
                            SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
}

} // namespace dw::platform
