// SPDX-License-Identifier: MIT
#include "platform/files/Replacement.h"

#include "platform/files/CopyContents.h"
#include "platform/files/ProcFd.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dw::platform {

namespace {

ReplaceOutcome fail(ReplaceResult result, int error = 0) { return {result, error}; }

bool nameHolds(const Folder& folder, const std::string& name, const FileIdentity& identity)
{
    struct stat status {};
    return ::fstatat(folder.fd(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0
        && identityFromStat(status).sameFileAs(identity);
}

int exchange(const Folder& folder, const std::string& first, const std::string& second)
{
    return ::renameat2(folder.fd(), first.c_str(), folder.fd(), second.c_str(), RENAME_EXCHANGE) == 0 ? 0 : errno;
}

bool lacksExchange(int error) { return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP; }

// For file systems that cannot swap two names: the same checks, made once
// more just before the one rename that cannot be undone.
ReplaceOutcome renameOver(SourceFile& source, ChangeWatch& watch, NewFile& replacement)
{
    if (!watch.unchanged() || !nameHolds(*source.folder, source.name, source.identity))
        return fail(ReplaceResult::ChangedOnDisk);
    if (::renameat(source.folder->fd(), replacement.name().c_str(), source.folder->fd(), source.name.c_str()) != 0)
        return fail(ReplaceResult::WriteFailed, errno);
    replacement.keepName();
    watch.stop();
    return {};
}

} // namespace

ReplaceOutcome installReplacement(SourceFile& source, ChangeWatch& watch, NewFile& replacement)
{
    if (!watch.unchanged())
        return fail(ReplaceResult::ChangedOnDisk);
    if (int error = replacement.giveName())
        return fail(ReplaceResult::WriteFailed, error);
    const Folder& folder = *source.folder;
    if (int error = exchange(folder, replacement.name(), source.name))
        return lacksExchange(error) ? renameOver(source, watch, replacement) : fail(ReplaceResult::WriteFailed, error);
    // The calendar's name holds the new file now, the hidden name whatever
    // the calendar's name held a moment ago: the original, unless another
    // program put a file of its own there meanwhile.
    if (!watch.unchanged() || !nameHolds(folder, replacement.name(), source.identity)) {
        if (int error = exchange(folder, replacement.name(), source.name)) {
            replacement.keepName(); // what was there is kept under the hidden name
            return fail(ReplaceResult::WriteFailed, error);
        }
        return fail(ReplaceResult::ChangedOnDisk);
    }
    if (::unlinkat(folder.fd(), replacement.name().c_str(), 0) != 0) {
        replacement.keepName();
        return fail(ReplaceResult::WriteFailed, errno);
    }
    replacement.keepName();
    watch.stop();
    return {};
}

namespace {

// The backup: a flushed, named copy of the original, so that the calendar
// can be put back, by us or, should the machine stop, by its user.
ReplaceOutcome makeBackup(SourceFile& source, NewFile& backup, const FileIo& io)
{
    if (int error = backup.create(source.folder, source.name, "backup"))
        return fail(ReplaceResult::CannotCreate, error);
    if (int error = copyContents(io, source.fd.get(), backup.fd(), std::uint64_t(source.identity.size)))
        return fail(error == EAGAIN ? ReplaceResult::ChangedOnDisk : ReplaceResult::WriteFailed, error);
    if (io.fdatasync(backup.fd()) != 0)
        return fail(ReplaceResult::WriteFailed, errno);
    if (int error = backup.giveName())
        return fail(ReplaceResult::WriteFailed, error);
    if (int error = source.folder->sync(io))
        return fail(ReplaceResult::WriteFailed, error);
    return {};
}

int writeContents(const FileIo& io, int from, int to, std::uint64_t size)
{
    if (int error = copyContents(io, from, to, size))
        return error;
    if (::ftruncate(to, off_t(size)) != 0)
        return errno;
    return io.fdatasync(to) == 0 ? 0 : errno;
}

// Opens the calendar for writing; a lease of another program's makes this
// fail at once rather than wait.
int openWriter(SourceFile& source, FileDescriptor& writer)
{
    writer.reset(reopenDescriptor(source.fd.get(), O_RDWR | O_NOCTTY | O_NONBLOCK));
    return writer.valid() ? 0 : errno;
}

ReplaceOutcome putBack(const FileIo& io, int writer, NewFile& backup, std::uint64_t size, ReplaceOutcome reason)
{
    if (writeContents(io, backup.fd(), writer, size) != 0)
        backup.keepName(); // now the only good copy: it stays for the user
    return reason;
}

} // namespace

ReplaceOutcome rewriteInPlace(SourceFile& source, ChangeWatch& watch, const NewFile& content, std::uint64_t size,
                              const FileIo& io)
{
    NewFile backup;
    const ReplaceOutcome backedUp = makeBackup(source, backup, io);
    if (backedUp.result != ReplaceResult::Replaced)
        return backedUp;
    if (!watch.handOverToWriter())
        return fail(ReplaceResult::ChangedOnDisk);
    FileDescriptor writer;
    // The watch lets go of its lease on the writer before the writer closes.
    struct StopWatching {
        ChangeWatch& watch;
        ~StopWatching() { watch.stop(); }
    } stopWatching{watch};
    if (int error = openWriter(source, writer)) {
        if (error == EWOULDBLOCK)
            return fail(ReplaceResult::InUse);
        return fail(error == EACCES || error == EPERM ? ReplaceResult::CannotCreate : ReplaceResult::WriteFailed, error);
    }
    // Our own reading descriptor would keep a write lease from us.
    source.fd.reset();
    if (!watch.watchWriter(writer.get()))
        return fail(ReplaceResult::ChangedOnDisk);
    const std::uint64_t originalSize = std::uint64_t(source.identity.size);
    if (int error = writeContents(io, content.fd(), writer.get(), size))
        return putBack(io, writer.get(), backup, originalSize, fail(ReplaceResult::WriteFailed, error));
    if (!watch.noWriterCameBy())
        return putBack(io, writer.get(), backup, originalSize, fail(ReplaceResult::ChangedOnDisk));
    watch.stop();
    if (int error = writer.close()) {
        backup.keepName(); // the new contents may not have reached the disk
        return fail(ReplaceResult::WriteFailed, error);
    }
    return {};
}

} // namespace dw::platform
