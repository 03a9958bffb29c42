// SPDX-License-Identifier: MIT
#include "platform/fileops/FileTransfer.h"

#include "platform/fileops/TransferProgress.h"
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

bool cancelled(const TransferProgress* progress)
{
    return progress && progress->cancelRequested();
}

void advance(TransferProgress* progress, std::uint64_t units)
{
    if (progress)
        progress->advance(units);
}

// What one copy carries down the tree besides the paths.
struct CopyJob {
    CopyRecord* record = nullptr; // filled for a move, so it removes only what it copied
    TransferProgress* progress = nullptr;
};

struct FileDescriptor {
    int fd = -1;
    ~FileDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// One chunk by read and write: the bytes copied, 0 at the end, -1 with errno.
ssize_t readWriteChunk(int from, int to, std::vector<char>& buffer)
{
    buffer.resize(kCopyChunkBytes);
    const ssize_t got = ::read(from, buffer.data(), buffer.size());
    for (ssize_t written = 0; got > 0 && written < got;) {
        const ssize_t put = ::write(to, buffer.data() + written, static_cast<std::size_t>(got - written));
        if (put < 0 && errno != EINTR)
            return -1;
        if (put == 0) {
            errno = ENOSPC; // a write that makes no progress never finishes
            return -1;
        }
        written += put > 0 ? put : 0;
    }
    return got;
}

// Whether copy_file_range cannot copy between these two files at all, so
// that read and write must do it.
bool needsReadAndWrite(int error)
{
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP || error == EBADF;
}

// Copies chunk by chunk, in the kernel where the file systems allow it; a
// cancel takes effect between two chunks. Some file systems answer the
// kernel copy with 0 bytes for files that have more, so a file whose first
// kernel chunk is empty is read and written instead.
HResult copyBytes(int from, int to, const std::string& destination, TransferProgress* progress)
{
    bool inKernel = true;
    bool first = true;
    std::vector<char> buffer;
    for (;;) {
        if (cancelled(progress))
            return E_ABORT;
        const ssize_t copied = inKernel ? ::copy_file_range(from, nullptr, to, nullptr, kCopyChunkBytes, 0)
                                        : readWriteChunk(from, to, buffer);
        if (inKernel && first && (copied == 0 || (copied < 0 && needsReadAndWrite(errno)))) {
            inKernel = false;
            continue;
        }
        first = false;
        if (copied < 0 && errno == EINTR)
            continue;
        if (copied <= 0)
            return copied == 0 ? S_OK : resultFromErrno(errno);
        advance(progress, static_cast<std::uint64_t>(copied));
        callTransferHook(TransferStage::CopiedChunk, destination);
    }
}

HResult copyFile(const std::string& source, const std::string& destination, const struct stat& status,
                 Creation& creation, TransferProgress* progress)
{
    FileDescriptor from{::open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC)};
    if (from.fd < 0)
        return resultFromErrno(errno);
    FileDescriptor to{::open(destination.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, status.st_mode & 07777)};
    if (to.fd < 0)
        return resultFromErrno(errno);
    creation.made = true;
    HResult copied = copyBytes(from.fd, to.fd, destination, progress);
    const struct timespec times[2] = {status.st_atim, status.st_mtim};
    ::futimens(to.fd, times);
    // Closed whatever happened: a partial copy kept open would keep its
    // space taken after its removal, and a full disk full.
    if (::close(std::exchange(to.fd, -1)) != 0 && succeeded(copied))
        copied = resultFromErrno(errno);
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
                 const CopyJob& job);

HResult copyFolder(const std::string& source, const std::string& destination, const struct stat& status,
                   Creation& creation, const CopyJob& job)
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
        if (const HResult copied = copyTree(joinPath(source, name), joinPath(destination, name), inner, job);
            failed(copied))
            return copied;
    }
    ::chmod(destination.c_str(), status.st_mode & 07777);
    return S_OK;
}

HResult copyEntry(const std::string& source, const std::string& destination, const struct stat& status,
                  Creation& creation, const CopyJob& job)
{
    if (S_ISLNK(status.st_mode))
        return copyLink(source, destination, creation);
    if (S_ISDIR(status.st_mode))
        return copyFolder(source, destination, status, creation, job);
    if (S_ISREG(status.st_mode))
        return copyFile(source, destination, status, creation, job.progress);
    return E_NOTIMPL; // devices, sockets and pipes are not copied
}

// A cancel takes effect between two entries too.
HResult copyTree(const std::string& source, const std::string& destination, Creation& creation,
                 const CopyJob& job)
{
    if (cancelled(job.progress))
        return E_ABORT;
    struct stat status {};
    if (::lstat(source.c_str(), &status) != 0)
        return resultFromErrno(errno);
    if (job.record)
        job.record->push_back({source, status}); // a folder before what it holds
    const HResult copied = copyEntry(source, destination, status, creation, job);
    if (succeeded(copied))
        advance(job.progress, kUnitsPerEntry);
    return copied;
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

HResult copyRecording(const std::string& source, const std::string& destination, const CopyJob& job)
{
    if (entryFlags(destination))
        return E_ALREADY_EXISTS;
    callTransferHook(TransferStage::CreatingCopy, destination);
    Creation creation;
    const HResult copied = copyTree(source, destination, creation, job);
    if (failed(copied) && creation.made)
        removeItem(destination); // never leave half a copy behind
    return copied;
}

// The original of a move goes only once its copy is on disk: after a
// power cut the data must be in one of the two places.
bool flushVolumeOf(const std::string& path)
{
    FileDescriptor folder{::open(parentPathOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    return folder.fd >= 0 && ::syncfs(folder.fd) == 0;
}

std::uint64_t unitsBelow(const std::string& folder, const TransferProgress* progress);

std::uint64_t unitsOfEntry(const std::string& path, const TransferProgress* progress)
{
    struct stat status {};
    if (cancelled(progress) || ::lstat(path.c_str(), &status) != 0)
        return 0;
    const std::uint64_t own = kUnitsPerEntry + (S_ISREG(status.st_mode) ? std::uint64_t(status.st_size) : 0);
    return own + (S_ISDIR(status.st_mode) ? unitsBelow(path, progress) : 0);
}

std::uint64_t unitsBelow(const std::string& folder, const TransferProgress* progress)
{
    DirectoryReader reader(folder);
    std::uint64_t units = 0;
    std::string name;
    std::uint8_t flags = 0;
    while (reader.openError() == 0 && reader.next(name, flags))
        units += unitsOfEntry(joinPath(folder, name), progress);
    return units;
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

HResult copyItem(const std::string& source, const std::string& destination, TransferProgress* progress)
{
    return copyRecording(source, destination, CopyJob{nullptr, progress});
}

HResult moveByCopying(const std::string& source, const std::string& destination, TransferProgress* progress)
{
    // A source that cannot be removed afterwards is not copied at all.
    if (::access(parentPathOf(source).c_str(), W_OK | X_OK) != 0)
        return resultFromErrno(errno);
    CopyRecord record;
    if (const HResult copied = copyRecording(source, destination, CopyJob{&record, progress}); failed(copied))
        return copied;
    callTransferHook(TransferStage::RemovingSource, source);
    if (!flushVolumeOf(destination) || failed(removeCopiedSource(record)))
        return E_SOURCE_KEPT;
    return S_OK;
}

HResult moveItem(const std::string& source, const std::string& destination, TransferProgress* progress)
{
    const HResult renamed = renameNoReplace(source, destination);
    if (renamed != E_NOT_SAME_DEVICE)
        return renamed;
    return moveByCopying(source, destination, progress);
}

std::uint64_t transferUnitsOf(const std::string& path, const TransferProgress* progress)
{
    return unitsOfEntry(path, progress);
}

std::string baseNameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string parentPathOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash);
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
