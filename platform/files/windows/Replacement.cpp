// SPDX-License-Identifier: MIT
#include "platform/files/Replacement.h"

#include "platform/files/CopyContents.h"
#include "platform/files/windows/WinText.h"

#include <windows.h>
#include <winternl.h>

#include <cerrno>

namespace dw::platform {

namespace {

constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD writersShut = FILE_SHARE_READ | FILE_SHARE_DELETE;

ReplaceOutcome fail(ReplaceResult result, int error = 0) { return {result, error}; }

int pathIn(const Folder& folder, const std::string& name, std::wstring& path)
{
    if (int error = win::finalPath(folder.fd(), path))
        return error;
    if (path.empty() || path.back() != L'\\')
        path += L'\\';
    path += win::widen(name);
    return 0;
}

// The name holds the very file `identity` describes.
bool nameHolds(const Folder& folder, const std::string& name, const FileIdentity& identity)
{
    NativeFile fd = noFile;
    if (win::openRelative(folder.fd(), win::widen(name), FILE_READ_ATTRIBUTES, shareAll, FILE_OPEN,
                          FILE_OPEN_REPARSE_POINT, fd) != 0)
        return false;
    FileDescriptor owned(fd);
    FileIdentity now;
    return identityOf(fd, now) && now.sameFileAs(identity);
}

// Puts the original, kept under `backup`, back under its name.
int putBack(const std::wstring& backup, const std::wstring& calendar)
{
    return MoveFileExW(backup.c_str(), calendar.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
        ? 0
        : win::errnoFromWin32(GetLastError());
}

ReplaceOutcome failedSwap(DWORD error, const std::wstring& backup, const std::wstring& calendar)
{
    switch (error) {
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2:
        // The original went to the backup name, the new file did not follow.
        if (int undone = putBack(backup, calendar))
            return fail(ReplaceResult::WriteFailed, undone);
        return fail(ReplaceResult::WriteFailed, EIO);
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
    case ERROR_SHARING_VIOLATION: return fail(ReplaceResult::InUse, EBUSY);
    case ERROR_ACCESS_DENIED: return fail(ReplaceResult::CannotCreate, EACCES);
    default: return fail(ReplaceResult::WriteFailed, win::errnoFromWin32(error));
    }
}

} // namespace

// ReplaceFileW gives the new file the calendar's name, ACL, attributes and
// named streams, and the original a hidden backup name. The backup is checked
// to be the calendar as it was read (our handle kept writers out since), and
// only then removed; had another program put a file of its own under the
// name meanwhile, that file is put back instead.
ReplaceOutcome installReplacement(SourceFile& source, ChangeWatch& watch, NewFile& replacement)
{
    if (!watch.unchanged())
        return fail(ReplaceResult::ChangedOnDisk);
    if (int error = replacement.giveName())
        return fail(ReplaceResult::WriteFailed, error);
    // ReplaceFileW opens the new file by name, and allows no writer beside it.
    if (int error = replacement.close())
        return fail(ReplaceResult::WriteFailed, error);
    const Folder& folder = *source.folder;
    std::wstring calendar, fresh, backup;
    if (int error = pathIn(folder, source.name, calendar))
        return fail(ReplaceResult::WriteFailed, error);
    if (int error = pathIn(folder, replacement.name(), fresh))
        return fail(ReplaceResult::WriteFailed, error);
    const std::string backupLeaf = "." + source.name.substr(0, 200) + ".backup." + replacement.name().substr(replacement.name().size() - 6);
    if (int error = pathIn(folder, backupLeaf, backup))
        return fail(ReplaceResult::WriteFailed, error);
    if (!ReplaceFileW(calendar.c_str(), fresh.c_str(), backup.c_str(), 0, nullptr, nullptr))
        return failedSwap(GetLastError(), backup, calendar);
    replacement.keepName();
    if (!nameHolds(folder, backupLeaf, source.identity) || !watch.unchanged()) {
        const int error = putBack(backup, calendar);
        return fail(error ? ReplaceResult::WriteFailed : ReplaceResult::ChangedOnDisk, error);
    }
    // The original goes once our own handle on it closes.
    NativeFile doomed = noFile;
    if (int error = win::openRelative(folder.fd(), win::widen(backupLeaf), DELETE, shareAll, FILE_OPEN,
                                      FILE_NON_DIRECTORY_FILE | FILE_DELETE_ON_CLOSE | FILE_OPEN_REPARSE_POINT, doomed))
        return fail(ReplaceResult::WriteFailed, error);
    FileDescriptor closing(doomed);
    watch.stop();
    return {};
}

namespace {

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

int truncateAt(NativeFile fd, std::uint64_t size)
{
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = LONGLONG(size);
    return SetFileInformationByHandle(static_cast<HANDLE>(fd), FileEndOfFileInfo, &end, sizeof end)
        ? 0
        : win::errnoFromWin32(GetLastError());
}

int writeContents(const FileIo& io, NativeFile from, NativeFile to, std::uint64_t size)
{
    if (int error = copyContents(io, from, to, size))
        return error;
    if (int error = truncateAt(to, size))
        return error;
    return io.fdatasync(to) == 0 ? 0 : errno;
}

} // namespace

// The calendar keeps its file (its owner, its other names): a flushed backup
// copy is made, our reading handle gives way to one that writes and still
// shuts other writers out, and the new contents are written over the old.
ReplaceOutcome rewriteInPlace(SourceFile& source, ChangeWatch& watch, const NewFile& content, std::uint64_t size,
                              const FileIo& io)
{
    NewFile backup;
    const ReplaceOutcome backedUp = makeBackup(source, backup, io);
    if (backedUp.result != ReplaceResult::Replaced)
        return backedUp;
    if (!watch.handOverToWriter())
        return fail(ReplaceResult::ChangedOnDisk);
    source.fd.reset();
    NativeFile fd = noFile;
    if (int error = win::openRelative(source.folder->fd(), win::widen(source.name), GENERIC_READ | GENERIC_WRITE,
                                      writersShut, FILE_OPEN, FILE_NON_DIRECTORY_FILE, fd))
        return fail(error == EBUSY ? ReplaceResult::InUse
                                   : error == EACCES ? ReplaceResult::CannotCreate : ReplaceResult::WriteFailed,
                    error);
    FileDescriptor writer(fd);
    if (!watch.watchWriter(writer.get()))
        return fail(ReplaceResult::ChangedOnDisk);
    if (int error = writeContents(io, content.fd(), writer.get(), size)) {
        if (writeContents(io, backup.fd(), writer.get(), std::uint64_t(source.identity.size)) != 0)
            backup.keepName(); // now the only good copy: it stays for the user
        return fail(ReplaceResult::WriteFailed, error);
    }
    watch.stop();
    if (int error = writer.close()) {
        backup.keepName();
        return fail(ReplaceResult::WriteFailed, error);
    }
    return {};
}

} // namespace dw::platform
