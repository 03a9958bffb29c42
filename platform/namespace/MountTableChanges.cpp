// SPDX-License-Identifier: MIT
#include "platform/namespace/MountTableChanges.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace dw::platform {

MountTableChanges::MountTableChanges(const std::string& path)
{
    if (path.rfind("/proc/", 0) == 0)
        pollFd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
}

MountTableChanges::~MountTableChanges()
{
    if (pollFd_ >= 0)
        ::close(pollFd_);
}

bool MountTableChanges::changedSinceLastLook()
{
    std::lock_guard lock(mutex_);
    if (pollFd_ < 0)
        return true;
    // Each poll that reports a change also resets the flag for this
    // descriptor, so one change is reported once.
    pollfd entry{pollFd_, POLLPRI, 0};
    const bool changed = ::poll(&entry, 1, 0) > 0 && (entry.revents & (POLLPRI | POLLERR));
    const bool answer = changed || firstLook_;
    firstLook_ = false;
    return answer;
}

} // namespace dw::platform
