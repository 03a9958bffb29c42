// SPDX-License-Identifier: MIT
#pragma once
// Owns an open file or folder, the system's handle for it, and closes it when
// it goes: a POSIX file descriptor on Linux, a HANDLE on Windows.

#include <utility>

#if !defined(_WIN32)
#include <cerrno>
#include <unistd.h>
#endif

namespace dw::platform {

#if defined(_WIN32)
using NativeFile = void*; // a HANDLE
inline constexpr NativeFile noFile = nullptr;
void closeNativeFile(NativeFile fd);
int closeNativeFileReporting(NativeFile fd); // 0 or errno
#else
using NativeFile = int;
inline constexpr NativeFile noFile = -1;
inline void closeNativeFile(NativeFile fd) { ::close(fd); }
inline int closeNativeFileReporting(NativeFile fd) { return ::close(fd) == 0 ? 0 : errno; }
#endif

class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(NativeFile fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, noFile)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept
    {
        if (this != &other)
            reset(std::exchange(other.fd_, noFile));
        return *this;
    }
    ~FileDescriptor() { reset(); }

    NativeFile get() const { return fd_; }
    bool valid() const { return fd_ != noFile; }
    void reset(NativeFile fd = noFile)
    {
        if (valid())
            closeNativeFile(fd_);
        fd_ = fd;
    }
    // Gives up ownership: the descriptor is the caller's to close.
    NativeFile release() { return std::exchange(fd_, noFile); }
    // Closes now and answers the close's own error (0 when it went well):
    // some file systems report a failed write only at close.
    int close()
    {
        const int error = valid() ? closeNativeFileReporting(fd_) : 0;
        fd_ = noFile;
        return error;
    }

private:
    NativeFile fd_ = noFile;
};

} // namespace dw::platform
