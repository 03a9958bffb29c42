#include "platform/namespace/FileTransfer.h"

#include "platform/namespace/FileSystemAccess.h"
#include "platform/namespace/ShellErrors.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace dw::platform {

namespace {

struct FileDescriptor {
    int fd = -1;
    ~FileDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

HResult copyBytes(int from, int to)
{
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got == 0)
            return S_OK;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return resultFromErrno(errno);
        }
        for (ssize_t written = 0; written < got;) {
            const ssize_t put = ::write(to, buffer.data() + written, static_cast<std::size_t>(got - written));
            if (put < 0 && errno != EINTR)
                return errno == ENOSPC ? E_FAIL : resultFromErrno(errno);
            written += put > 0 ? put : 0;
        }
    }
}

HResult copyFile(const std::string& source, const std::string& destination, const struct stat& status)
{
    FileDescriptor from{::open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC)};
    if (from.fd < 0)
        return resultFromErrno(errno);
    FileDescriptor to{::open(destination.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, status.st_mode & 07777)};
    if (to.fd < 0)
        return resultFromErrno(errno);
    HResult copied = copyBytes(from.fd, to.fd);
    const struct timespec times[2] = {status.st_atim, status.st_mtim};
    ::futimens(to.fd, times);
    if (succeeded(copied) && ::close(to.fd) != 0)
        copied = resultFromErrno(errno);
    to.fd = -1;
    return copied;
}

HResult copyLink(const std::string& source, const std::string& destination)
{
    std::vector<char> target(PATH_MAX + 1);
    const ssize_t length = ::readlink(source.c_str(), target.data(), target.size() - 1);
    if (length < 0)
        return resultFromErrno(errno);
    target[static_cast<std::size_t>(length)] = '\0';
    return ::symlink(target.data(), destination.c_str()) == 0 ? S_OK : resultFromErrno(errno);
}

HResult copyTree(const std::string& source, const std::string& destination);

HResult copyFolder(const std::string& source, const std::string& destination, const struct stat& status)
{
    if (::mkdir(destination.c_str(), 0700) != 0)
        return resultFromErrno(errno);
    DirectoryReader reader(source);
    if (reader.openError() != 0)
        return resultFromErrno(reader.openError());
    std::string name;
    std::uint8_t flags = 0;
    while (reader.next(name, flags)) {
        if (const HResult copied = copyTree(joinPath(source, name), joinPath(destination, name)); failed(copied))
            return copied;
    }
    ::chmod(destination.c_str(), status.st_mode & 07777);
    return S_OK;
}

HResult copyTree(const std::string& source, const std::string& destination)
{
    struct stat status {};
    if (::lstat(source.c_str(), &status) != 0)
        return resultFromErrno(errno);
    if (S_ISLNK(status.st_mode))
        return copyLink(source, destination);
    if (S_ISDIR(status.st_mode))
        return copyFolder(source, destination, status);
    if (S_ISREG(status.st_mode))
        return copyFile(source, destination, status);
    return E_NOTIMPL; // devices, sockets and pipes are not copied
}

void removeItem(const std::string& path)
{
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0)
        return;
    if (S_ISDIR(status.st_mode))
        removeTree(path);
    else
        ::unlink(path.c_str());
}

std::string realPathOf(const std::string& path)
{
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        return path;
    std::string result(resolved);
    std::free(resolved);
    return result;
}

} // namespace

std::string freeNameIn(const std::string& folder, const std::string& name)
{
    if (!entryFlags(joinPath(folder, name)))
        return name;
    const std::size_t dot = name.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot > 0;
    const std::string stem = hasExtension ? name.substr(0, dot) : name;
    const std::string extension = hasExtension ? name.substr(dot) : std::string();
    for (int number = 2;; ++number) {
        const std::string candidate = stem + " (" + std::to_string(number) + ")" + extension;
        if (!entryFlags(joinPath(folder, candidate)))
            return candidate;
    }
}

HResult copyItem(const std::string& source, const std::string& destination)
{
    if (entryFlags(destination))
        return E_ALREADY_EXISTS;
    const HResult copied = copyTree(source, destination);
    if (failed(copied))
        removeItem(destination); // never leave half a copy behind
    return copied;
}

HResult moveItem(const std::string& source, const std::string& destination)
{
    const HResult renamed = renameNoReplace(source, destination);
    if (renamed != E_NOT_SAME_DEVICE)
        return renamed;
    if (const HResult copied = copyItem(source, destination); failed(copied))
        return copied;
    struct stat status {};
    ::lstat(source.c_str(), &status);
    const HResult removed = S_ISDIR(status.st_mode) ? removeTree(source)
                                                    : (::unlink(source.c_str()) == 0 ? S_OK : resultFromErrno(errno));
    return removed;
}

HResult linkItem(const std::string& source, const std::string& destination)
{
    return ::symlink(source.c_str(), destination.c_str()) == 0 ? S_OK : resultFromErrno(errno);
}

bool isSameOrInside(const std::string& path, const std::string& folder)
{
    const std::string resolvedPath = realPathOf(path);
    const std::string resolvedFolder = realPathOf(folder);
    if (resolvedPath == resolvedFolder)
        return true;
    const std::string prefix = resolvedFolder == "/" ? "/" : resolvedFolder + "/";
    return resolvedPath.compare(0, prefix.size(), prefix) == 0;
}

} // namespace dw::platform
