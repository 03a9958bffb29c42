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

TransferHook& transferHook()
{
    static TransferHook hook;
    return hook;
}

void callTransferHook(TransferStage stage, const std::string& path)
{
    if (const TransferHook& hook = transferHook())
        hook(stage, path);
}

// Whether this transfer made the destination itself. Only then may a failed
// transfer remove it: a name that another program took between our check and
// our creation belongs to that program.
struct Creation {
    bool made = false;
};

// An item as a move's copy found it. Removing the source afterwards touches
// only these, and only while they are still what was copied: whatever another
// program added or changed meanwhile was not copied and must stay.
struct CopiedEntry {
    std::string path;
    struct stat status;
};
using CopyRecord = std::vector<CopiedEntry>;

bool isUnchanged(const struct stat& before, const struct stat& now)
{
    if (before.st_dev != now.st_dev || before.st_ino != now.st_ino
        || (before.st_mode & S_IFMT) != (now.st_mode & S_IFMT))
        return false;
    if (S_ISDIR(now.st_mode))
        return true; // a folder that gained entries keeps them: its removal fails
    return before.st_size == now.st_size && before.st_mtim.tv_sec == now.st_mtim.tv_sec
        && before.st_mtim.tv_nsec == now.st_mtim.tv_nsec;
}

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

HResult copyTree(const std::string& source, const std::string& destination, Creation& creation,
                 CopyRecord* record);

HResult copyFolder(const std::string& source, const std::string& destination, const struct stat& status,
                   Creation& creation, CopyRecord* record)
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
        if (const HResult copied = copyTree(joinPath(source, name), joinPath(destination, name), inner, record);
            failed(copied))
            return copied;
    }
    ::chmod(destination.c_str(), status.st_mode & 07777);
    return S_OK;
}

HResult copyTree(const std::string& source, const std::string& destination, Creation& creation,
                 CopyRecord* record)
{
    struct stat status {};
    if (::lstat(source.c_str(), &status) != 0)
        return resultFromErrno(errno);
    if (record)
        record->push_back({source, status}); // a folder before what it holds
    if (S_ISLNK(status.st_mode))
        return copyLink(source, destination, creation);
    if (S_ISDIR(status.st_mode))
        return copyFolder(source, destination, status, creation, record);
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

// Children come after their folder in the record, so going backwards empties
// each folder before its own removal. Volumes mounted inside the source are
// left alone (their mount point then stays too).
HResult removeCopiedSource(const CopyRecord& record)
{
    HResult result = S_OK;
    for (auto entry = record.rbegin(); entry != record.rend(); ++entry) {
        struct stat now {};
        if (::lstat(entry->path.c_str(), &now) != 0)
            continue; // gone already: nothing left to lose
        if (!isUnchanged(entry->status, now) || now.st_dev != record.front().status.st_dev) {
            result = E_FAIL;
            continue;
        }
        const bool removed =
            S_ISDIR(now.st_mode) ? ::rmdir(entry->path.c_str()) == 0 : ::unlink(entry->path.c_str()) == 0;
        if (!removed)
            result = errno == ENOTEMPTY || errno == EEXIST ? E_FAIL : resultFromErrno(errno);
    }
    return result;
}

HResult copyRecording(const std::string& source, const std::string& destination, CopyRecord* record)
{
    if (entryFlags(destination))
        return E_ALREADY_EXISTS;
    callTransferHook(TransferStage::CreatingCopy, destination);
    Creation creation;
    const HResult copied = copyTree(source, destination, creation, record);
    if (failed(copied) && creation.made)
        removeItem(destination); // never leave half a copy behind
    return copied;
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
    return copyRecording(source, destination, nullptr);
}

HResult moveByCopying(const std::string& source, const std::string& destination)
{
    CopyRecord record;
    if (const HResult copied = copyRecording(source, destination, &record); failed(copied))
        return copied;
    callTransferHook(TransferStage::RemovingSource, source);
    return removeCopiedSource(record);
}

HResult moveItem(const std::string& source, const std::string& destination)
{
    const HResult renamed = renameNoReplace(source, destination);
    if (renamed != E_NOT_SAME_DEVICE)
        return renamed;
    return moveByCopying(source, destination);
}

HResult linkItem(const std::string& source, const std::string& destination)
{
    return ::symlink(source.c_str(), destination.c_str()) == 0 ? S_OK : resultFromErrno(errno);
}

void setTransferHookForTests(TransferHook hook)
{
    transferHook() = std::move(hook);
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
