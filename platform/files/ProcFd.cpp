// SPDX-License-Identifier: MIT
#include "platform/files/ProcFd.h"

#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace dw::platform {

namespace {

// The folder /proc/self/fd, opened once per process: "self" is resolved when
// it is opened, so a forked child opens its own.
class ProcFdFolder {
public:
    int fd()
    {
        std::lock_guard lock(mutex_);
        const pid_t now = ::getpid();
        if (owner_ != now) {
            folder_.reset(::open("/proc/self/fd", O_PATH | O_DIRECTORY | O_CLOEXEC));
            owner_ = now;
        }
        return folder_.get();
    }

private:
    std::mutex mutex_;
    pid_t owner_ = 0;
    FileDescriptor folder_;
};

ProcFdFolder& procFdFolder()
{
    static ProcFdFolder folder;
    return folder;
}

} // namespace

int reopenDescriptor(int fd, int flags)
{
    const int folder = procFdFolder().fd();
    if (folder < 0) {
        errno = ENOSYS; // no /proc: there is no race-free way to do it
        return -1;
    }
    return ::openat(folder, std::to_string(fd).c_str(), flags | O_CLOEXEC);
}

int linkDescriptor(int fd, int folderFd, const std::string& name)
{
    const int folder = procFdFolder().fd();
    if (folder >= 0 && ::linkat(folder, std::to_string(fd).c_str(), folderFd, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return 0;
    if (folder >= 0 && errno != ENOENT)
        return errno;
    // Without /proc, only a caller allowed to look up any file may do this.
    return ::linkat(fd, "", folderFd, name.c_str(), AT_EMPTY_PATH) == 0 ? 0 : errno;
}

} // namespace dw::platform
