#include "platform/namespace/FileTransfer.h"

#include "platform/namespace/FileSystemAccess.h"
#include "platform/namespace/ShellErrors.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace dw::platform {

namespace {

std::function<void(const std::string&)>& beforeCreatingHook()
{
    static std::function<void(const std::string&)> hook;
    return hook;
}

// Whether this transfer made the destination itself. Only then may a failed
// transfer remove it: a name that another program took between our check and
// our creation belongs to that program.
struct Creation {
    bool made = false;
};

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

HResult copyFile(const std::string& source, const std::string& destination, const struct stat& status,
                 Creation& creation)
{
    FileDescriptor from{::open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC)};
    if (from.fd < 0)
        return resultFromErrno(errno);
    FileDescriptor to{::open(destination.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, status.st_mode & 07777)};
    if (to.fd < 0)
        return resultFromErrno(errno);
    creation.made = true;
    HResult copied = copyBytes(from.fd, to.fd);
    const struct timespec times[2] = {status.st_atim, status.st_mtim};
    ::futimens(to.fd, times);
    if (succeeded(copied) && ::close(to.fd) != 0)
        copied = resultFromErrno(errno);
    to.fd = -1;
    return copied;
}

HResult copyLink(const std::string& source, const std::string& destination, Creation& creation)
{
    std::vector<char> target(PATH_MAX + 1);
    const ssize_t length = ::readlink(source.c_str(), target.data(), target.size() - 1);
    if (length < 0)
        return resultFromErrno(errno);
    target[static_cast<std::size_t>(length)] = '\0';
    if (::symlink(target.data(), destination.c_str()) != 0)
        return resultFromErrno(errno);
    creation.made = true;
    return S_OK;
}

HResult copyTree(const std::string& source, const std::string& destination, Creation& creation);

HResult copyFolder(const std::string& source, const std::string& destination, const struct stat& status,
                   Creation& creation)
{
    if (::mkdir(destination.c_str(), 0700) != 0)
        return resultFromErrno(errno);
    creation.made = true;
    DirectoryReader reader(source);
    if (reader.openError() != 0)
        return resultFromErrno(reader.openError());
    std::string name;
    std::uint8_t flags = 0;
    while (reader.next(name, flags)) {
        // Everything below lies inside the folder made above, so the top-level
        // creation alone decides what a failure may remove.
        Creation inner;
        if (const HResult copied = copyTree(joinPath(source, name), joinPath(destination, name), inner);
            failed(copied))
            return copied;
    }
    ::chmod(destination.c_str(), status.st_mode & 07777);
    return S_OK;
}

HResult copyTree(const std::string& source, const std::string& destination, Creation& creation)
{
    struct stat status {};
    if (::lstat(source.c_str(), &status) != 0)
        return resultFromErrno(errno);
    if (S_ISLNK(status.st_mode))
        return copyLink(source, destination, creation);
    if (S_ISDIR(status.st_mode))
        return copyFolder(source, destination, status, creation);
    if (S_ISREG(status.st_mode))
        return copyFile(source, destination, status, creation);
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
    if (const auto& hook = beforeCreatingHook())
        hook(destination);
    Creation creation;
    const HResult copied = copyTree(source, destination, creation);
    if (failed(copied) && creation.made)
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

void setBeforeCreatingHookForTests(std::function<void(const std::string&)> hook)
{
    beforeCreatingHook() = std::move(hook);
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
