// SPDX-License-Identifier: MIT
#pragma once
// Owns a POSIX file descriptor and closes it when it goes.

#include <cerrno>
#include <unistd.h>
#include <utility>

namespace dw::platform {

class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept
    {
        if (this != &other)
            reset(std::exchange(other.fd_, -1));
        return *this;
    }
    ~FileDescriptor() { reset(); }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    void reset(int fd = -1)
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }
    // Gives up ownership: the descriptor is the caller's to close.
    int release() { return std::exchange(fd_, -1); }
    // Closes now and answers the close's own error (0 when it went well):
    // some file systems report a failed write only at close.
    int close()
    {
        int error = 0;
        if (fd_ >= 0 && ::close(fd_) != 0)
            error = errno;
        fd_ = -1;
        return error;
    }

private:
    int fd_ = -1;
};

} // namespace dw::platform
