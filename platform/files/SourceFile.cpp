// SPDX-License-Identifier: MIT
#include "platform/files/SourceFile.h"

#include "platform/files/InodeFlags.h"
#include "platform/files/ProcFd.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dw::platform {

namespace {

constexpr int mostLinksFollowed = 40; // as the kernel allows in one path

int readLinkTarget(int linkFd, std::string& target)
{
    std::string buffer(256, '\0');
    for (;;) {
        const ssize_t length = ::readlinkat(linkFd, "", buffer.data(), buffer.size());
        if (length < 0)
            return errno;
        if (std::size_t(length) < buffer.size()) {
            buffer.resize(std::size_t(length));
            target = std::move(buffer);
            return 0;
        }
        buffer.resize(buffer.size() * 2);
    }
}

// Moves (folder, name) on to what a link's target names, relative to the
// folder that holds the link.
int followLink(std::shared_ptr<Folder>& folder, std::string& name, const std::string& target)
{
    const std::size_t slash = target.rfind('/');
    std::string leaf = slash == std::string::npos ? target : target.substr(slash + 1);
    if (leaf.empty() || leaf == "." || leaf == "..")
        return EISDIR;
    if (slash != std::string::npos) {
        int error = 0;
        std::shared_ptr<Folder> next = Folder::openIn(*folder, slash == 0 ? "/" : target.substr(0, slash), true, error);
        if (!next)
            return error;
        folder = std::move(next);
    }
    name = std::move(leaf);
    return 0;
}

// Opens the regular file behind `pathFd` for reading. Reading leaves the
// access time alone where the kernel allows it (to the owner and to root).
// O_NONBLOCK: a lease another program holds makes the open fail at once
// instead of waiting for that program.
int openForReading(int pathFd, const struct stat& status)
{
    const int flags = O_RDONLY | O_NOCTTY | O_NONBLOCK;
    const bool mayKeepAccessTime = ::geteuid() == 0 || status.st_uid == ::geteuid();
    int fd = reopenDescriptor(pathFd, flags | (mayKeepAccessTime ? O_NOATIME : 0));
    if (fd < 0 && errno == EPERM && mayKeepAccessTime)
        fd = reopenDescriptor(pathFd, flags);
    return fd;
}

// Without /proc there is no way to open exactly the inode checked; the name
// is opened again without following links and the inode compared.
int openForReadingByName(const Folder& folder, const std::string& name, const struct stat& checked)
{
    FileDescriptor fd(::openat(folder.fd(), name.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    struct stat status {};
    if (!fd.valid() || ::fstat(fd.get(), &status) != 0)
        return -1;
    if (status.st_dev != checked.st_dev || status.st_ino != checked.st_ino) {
        errno = EAGAIN;
        return -1;
    }
    return fd.release();
}

} // namespace

int openSourceFile(const std::shared_ptr<Folder>& folder, const std::string& name, SourceFile& file)
{
    file.folder = folder;
    file.name = name;
    // A name with folders in it is taken like a link's target.
    if (name.find('/') != std::string::npos)
        if (int error = followLink(file.folder, file.name, name))
            return error;
    for (int hops = 0;; ++hops) {
        FileDescriptor path(::openat(file.folder->fd(), file.name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        struct stat status {};
        if (!path.valid() || ::fstat(path.get(), &status) != 0)
            return errno;
        if (S_ISLNK(status.st_mode)) {
            if (hops == mostLinksFollowed)
                return ELOOP;
            std::string target;
            if (int error = readLinkTarget(path.get(), target))
                return error;
            if (int error = followLink(file.folder, file.name, target))
                return error;
            continue;
        }
        if (S_ISDIR(status.st_mode))
            return EISDIR;
        if (!S_ISREG(status.st_mode))
            return EINVAL; // pipes, sockets and devices are no calendars
        int fd = openForReading(path.get(), status);
        if (fd < 0 && errno == ENOSYS)
            fd = openForReadingByName(*file.folder, file.name, status);
        if (fd < 0)
            return errno == EWOULDBLOCK ? EBUSY : errno;
        file.fd.reset(fd);
        file.identity = identityFromStat(status);
        return 0;
    }
}

int rewritingRefused(const SourceFile& source)
{
    const bool readOnly = ::geteuid() == 0 ? (source.identity.mode & 0222) == 0
                                           : ::faccessat(source.folder->fd(), source.name.c_str(), W_OK, AT_EACCESS) != 0;
    if (readOnly)
        return EACCES;
    // Immutable and append-only files cannot be replaced, root or not.
    return forbidsRewriting(inodeFlags(source.fd.get())) ? EPERM : 0;
}

} // namespace dw::platform
