#include "platform/files/FileReader.h"

#include "platform/files/FileDescriptor.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dw::platform {

bool currentIdentity(const std::string& path, FileIdentity& identity)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return false;
    identity = identityFromStat(status);
    return true;
}

namespace {

// Reads exactly `size` bytes, or fails; then checks that nothing follows.
int readExactly(int fd, char* into, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        ssize_t got = ::read(fd, into + done, size - done);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (got == 0)
            return EAGAIN; // shrank while we read it
        done += std::size_t(got);
    }
    char probe;
    ssize_t extra;
    do {
        extra = ::read(fd, &probe, 1);
    } while (extra < 0 && errno == EINTR);
    if (extra < 0)
        return errno;
    return extra == 0 ? 0 : EAGAIN; // grew while we read it
}

} // namespace

ReadOutcome readWholeFile(const std::string& path, ByteBuffer& buffer, FileIdentity& identity)
{
    // Opened without blocking: opening a named pipe for reading would wait
    // for a writer for ever. Only regular files are read.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!file.valid())
        return {errno};
    struct stat status {};
    if (::fstat(file.get(), &status) != 0)
        return {errno};
    if (S_ISDIR(status.st_mode))
        return {EISDIR};
    if (!S_ISREG(status.st_mode))
        return {EINVAL}; // devices and pipes are no calendars
    const int flags = ::fcntl(file.get(), F_GETFL);
    if (flags < 0 || ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        return {errno};
    identity = identityFromStat(status);
    buffer.resizeUninitialised(std::size_t(status.st_size));
    if (int error = readExactly(file.get(), buffer.data(), buffer.size()))
        return {error};
    return {};
}

} // namespace dw::platform
