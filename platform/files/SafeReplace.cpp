#include "platform/files/SafeReplace.h"

#include "platform/files/ExtendedAttributes.h"
#include "platform/files/FileDescriptor.h"
#include "platform/files/FileReader.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dw::platform {

namespace {

ReplaceOutcome fail(ReplaceResult result, int error) { return {result, error}; }

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Deletes a temporary file unless told it has found its place.
class TemporaryFile {
public:
    // The name carries (the start of) the original's, so that a backup left
    // by a killed run is easy to match to its calendar; it is cut short so
    // that a 255-byte name still leaves room for the marks around it.
    TemporaryFile(const std::string& folder, const std::string& stem, const std::string& kind)
        : path_(folder + "/." + stem.substr(0, 200) + kind + ".XXXXXX")
    {
        fd_.reset(::mkostemp(path_.data(), O_CLOEXEC));
        if (!fd_.valid())
            path_.clear();
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile()
    {
        fd_.reset();
        if (!path_.empty())
            ::unlink(path_.c_str());
    }

    bool valid() const { return fd_.valid(); }
    int fd() const { return fd_.get(); }
    const std::string& path() const { return path_; }
    int close() { return fd_.close(); }
    void keep() { path_.clear(); }

private:
    std::string path_;
    FileDescriptor fd_;
};

int writeAll(const FileIo& io, int fd, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t wrote = io.pwrite(fd, bytes.data() + done, bytes.size() - done, off_t(done));
        if (wrote < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (wrote == 0)
            return ENOSPC; // a write that makes no progress will never finish
        done += std::size_t(wrote);
    }
    return 0;
}

// Flushes the data; a failure here is final: after a failed sync the kernel
// may already have dropped the dirty pages, so a retry could report success
// for data that never reached the disk.
int syncData(const FileIo& io, int fd)
{
    return io.fdatasync(fd) == 0 ? 0 : errno;
}

int syncFolder(const FileIo& io, const std::string& folder)
{
    FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.valid())
        return errno;
    return io.fsync(dir.get()) == 0 ? 0 : errno;
}

// Gives the new file what the old one had. Ownership is kept where we are
// allowed to set it; mode bits are set after it because a change of owner
// clears the set-id bits.
int copyMetadata(int from, int to, const FileIdentity& original)
{
    if (::fchown(to, original.owner, original.group) != 0 && errno == EPERM)
        (void)::fchown(to, uid_t(-1), original.group);
    if (::fchmod(to, original.mode & 07777) != 0)
        return errno;
    const AttributeOutcome outcome = matchExtendedAttributes(from, to);
    return outcome.result == AttributeMatch::Exact ? 0 : (outcome.error ? outcome.error : EIO);
}

bool unchangedSince(const std::string& target, const FileIdentity& loaded)
{
    struct stat now {};
    return ::stat(target.c_str(), &now) == 0 && identityFromStat(now).sameContentAs(loaded);
}

ReplaceOutcome replaceThroughTemporary(const std::string& target, const FileIdentity& loaded,
                                       std::string_view content, const FileIo& io)
{
    const std::string folder = folderOf(target);
    TemporaryFile temp(folder, nameOf(target), ".new");
    if (!temp.valid())
        return fail(ReplaceResult::CannotCreate, errno);
    if (int error = writeAll(io, temp.fd(), content))
        return fail(ReplaceResult::WriteFailed, error);
    FileDescriptor source(::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (!source.valid())
        return fail(ReplaceResult::CannotCreate, errno);
    if (int error = copyMetadata(source.get(), temp.fd(), loaded))
        return fail(ReplaceResult::WriteFailed, error);
    if (int error = syncData(io, temp.fd()))
        return fail(ReplaceResult::WriteFailed, error);
    if (int error = temp.close())
        return fail(ReplaceResult::WriteFailed, error);
    if (!unchangedSince(target, loaded))
        return fail(ReplaceResult::ChangedOnDisk, 0);
    if (::rename(temp.path().c_str(), target.c_str()) != 0)
        return fail(ReplaceResult::WriteFailed, errno);
    temp.keep();
    if (int error = syncFolder(io, folder))
        return fail(ReplaceResult::WriteFailed, error);
    return {};
}

// Puts the original bytes back after a failed in-place rewrite.
int restoreInPlace(const FileIo& io, int fd, std::string_view original)
{
    if (int error = writeAll(io, fd, original))
        return error;
    if (::ftruncate(fd, off_t(original.size())) != 0)
        return errno;
    return syncData(io, fd);
}

int writeInPlace(const FileIo& io, int fd, std::string_view content)
{
    if (int error = writeAll(io, fd, content))
        return error;
    if (::ftruncate(fd, off_t(content.size())) != 0)
        return errno;
    return syncData(io, fd);
}

ReplaceOutcome rewriteInPlace(const std::string& target, const FileIdentity& loaded,
                              std::string_view original, std::string_view content, const FileIo& io)
{
    const std::string folder = folderOf(target);
    TemporaryFile backup(folder, nameOf(target), ".backup");
    if (!backup.valid())
        return fail(ReplaceResult::CannotCreate, errno);
    if (int error = writeAll(io, backup.fd(), original))
        return fail(ReplaceResult::WriteFailed, error);
    if (int error = syncData(io, backup.fd()))
        return fail(ReplaceResult::WriteFailed, error);
    if (int error = syncFolder(io, folder))
        return fail(ReplaceResult::WriteFailed, error);

    FileDescriptor file(::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
    if (!file.valid())
        return fail(ReplaceResult::CannotCreate, errno);
    struct stat now {};
    if (::fstat(file.get(), &now) != 0 || !identityFromStat(now).sameContentAs(loaded))
        return fail(ReplaceResult::ChangedOnDisk, 0);
    if (int error = writeInPlace(io, file.get(), content)) {
        if (restoreInPlace(io, file.get(), original) != 0)
            backup.keep(); // the backup is now the only good copy: leave it for the user
        return fail(ReplaceResult::WriteFailed, error);
    }
    if (int error = file.close())
        return fail(ReplaceResult::WriteFailed, error);
    return {};
}

} // namespace

bool isReadOnlyForUs(const std::string& path, mode_t mode)
{
    if (::geteuid() == 0)
        return (mode & 0222) == 0;
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0;
}

ReplaceOutcome replaceFileContents(const std::string& path, const FileIdentity& loaded,
                                   std::string_view original, std::string_view content, const FileIo& io)
{
    char resolved[PATH_MAX];
    if (!::realpath(path.c_str(), resolved))
        return fail(ReplaceResult::CannotCreate, errno); // dangling or looping link
    const std::string target(resolved);
    struct stat status {};
    if (::stat(target.c_str(), &status) != 0)
        return fail(ReplaceResult::CannotCreate, errno);
    if (!identityFromStat(status).sameContentAs(loaded))
        return fail(ReplaceResult::ChangedOnDisk, 0);
    if (isReadOnlyForUs(target, status.st_mode))
        return fail(ReplaceResult::CannotCreate, EACCES);
    if (status.st_nlink > 1)
        return rewriteInPlace(target, loaded, original, content, io);
    return replaceThroughTemporary(target, loaded, content, io);
}

} // namespace dw::platform
