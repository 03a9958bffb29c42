// SPDX-License-Identifier: MIT
#include "platform/files/Folder.h"

#include "platform/files/ProcFd.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>

namespace dw::platform {

namespace {

// A folder we may search but not list cannot be opened for reading; it can
// still be worked in through an O_PATH descriptor.
int openFolderAt(int parent, const char* name, int extraFlags)
{
    const int flags = O_DIRECTORY | O_CLOEXEC | extraFlags;
    int fd = ::openat(parent, name, O_RDONLY | flags);
    if (fd < 0 && errno == EACCES)
        fd = ::openat(parent, name, O_PATH | flags);
    return fd;
}

// A path too long for one call is walked a piece at a time, each piece
// shorter than PATH_MAX and cut at a slash.
int openLongPath(const std::string& path, int& error)
{
    FileDescriptor current(openFolderAt(AT_FDCWD, path[0] == '/' ? "/" : ".", 0));
    std::size_t at = path[0] == '/' ? 1 : 0;
    while (current.valid() && at < path.size()) {
        std::size_t cut = std::min(path.size(), at + PATH_MAX - 1);
        if (cut < path.size()) {
            const std::size_t slash = path.rfind('/', cut);
            if (slash == std::string::npos || slash <= at) {
                error = ENAMETOOLONG; // one name longer than any path may be
                return -1;
            }
            cut = slash;
        }
        const std::string piece = path.substr(at, cut - at);
        current.reset(openFolderAt(current.get(), piece.c_str(), 0));
        at = cut + 1;
    }
    if (!current.valid()) {
        error = errno;
        return -1;
    }
    return current.release();
}

} // namespace

std::shared_ptr<Folder> Folder::adopt(int fd, int& error)
{
    FileDescriptor owned(fd);
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        error = errno;
        return nullptr;
    }
    return std::make_shared<Folder>(std::move(owned), status.st_dev, status.st_ino);
}

std::shared_ptr<Folder> Folder::open(const std::string& path, int& error)
{
    const std::string where = path.empty() ? "." : path;
    int fd = openFolderAt(AT_FDCWD, where.c_str(), 0);
    if (fd < 0 && errno == ENAMETOOLONG)
        fd = openLongPath(where, error);
    else if (fd < 0)
        error = errno;
    return fd < 0 ? nullptr : adopt(fd, error);
}

std::shared_ptr<Folder> Folder::openIn(const Folder& parent, const std::string& name, bool followLinks, int& error)
{
    const int fd = openFolderAt(parent.fd(), name.c_str(), followLinks ? 0 : O_NOFOLLOW);
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    return adopt(fd, error);
}

int Folder::sync(const FileIo& io) const
{
    if (io.fsync(fd_.get()) == 0)
        return 0;
    if (errno != EBADF)
        return errno;
    // Only a folder opened for reading can be flushed; one we may merely
    // search gives EACCES here, an honest answer.
    FileDescriptor readable(reopenDescriptor(fd_.get(), O_RDONLY | O_DIRECTORY));
    if (!readable.valid())
        return errno;
    return io.fsync(readable.get()) == 0 ? 0 : errno;
}

} // namespace dw::platform
