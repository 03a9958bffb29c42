// SPDX-License-Identifier: MIT
#include "platform/files/Folder.h"

#include "platform/files/FileIdentity.h"
#include "platform/files/windows/WinText.h"

#include <windows.h>
#include <winternl.h>

#include <cerrno>

namespace dw::platform {

namespace {

constexpr DWORD folderAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// "C:\cal", "cal", "\\server\share\cal": absolute and in the \\?\ form, so
// that no length limit and no name rewriting applies.
std::wstring longPath(const std::wstring& path)
{
    if (path.rfind(L"\\\\?\\", 0) == 0)
        return path;
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    full.resize(length);
    if (full.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

} // namespace

std::shared_ptr<Folder> Folder::adopt(NativeFile fd, int& error)
{
    FileDescriptor owned(fd);
    FileIdentity identity;
    if (!identityOf(fd, identity)) {
        error = errno;
        return nullptr;
    }
    if (!(identity.mode & FILE_ATTRIBUTE_DIRECTORY)) {
        error = ENOTDIR;
        return nullptr;
    }
    return std::make_shared<Folder>(std::move(owned), identity.device, identity.inode);
}

std::shared_ptr<Folder> Folder::open(const std::string& path, int& error)
{
    const std::wstring where = longPath(win::widen(path.empty() ? "." : path));
    HANDLE handle = CreateFileW(where.c_str(), folderAccess, shareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = win::errnoFromWin32(GetLastError());
        return nullptr;
    }
    return adopt(handle, error);
}

std::shared_ptr<Folder> Folder::openIn(const Folder& parent, const std::string& name, bool followLinks, int& error)
{
    if (name == "..") {
        // Names relative to a handle know no "..": the parent is found from
        // where the folder is now.
        std::wstring path;
        if ((error = win::finalPath(parent.fd(), path)) != 0)
            return nullptr;
        const std::size_t slash = path.find_last_of(L'\\');
        if (slash == std::wstring::npos || slash < 7)
            return open(win::narrow(path), error);
        return open(win::narrow(path.substr(0, slash + (path[slash - 1] == L':' ? 1 : 0))), error);
    }
    NativeFile fd = noFile;
    const DWORD options = FILE_DIRECTORY_FILE | (followLinks ? 0 : FILE_OPEN_REPARSE_POINT);
    if ((error = win::openRelative(parent.fd(), win::widen(name), folderAccess, shareAll, FILE_OPEN, options, fd)) != 0)
        return nullptr;
    FileIdentity identity;
    if (!followLinks && identityOf(fd, identity) && (identity.mode & FILE_ATTRIBUTE_REPARSE_POINT)) {
        FileDescriptor close(fd);
        error = ELOOP;
        return nullptr;
    }
    return adopt(fd, error);
}

int Folder::sync(const FileIo& io) const
{
    // Only a handle that may write can be flushed; NTFS keeps the folder's
    // entries in its log either way, so a folder we may not write to is done.
    HANDLE writable = ReOpenFile(static_cast<HANDLE>(fd()), GENERIC_READ | GENERIC_WRITE, shareAll, FILE_FLAG_BACKUP_SEMANTICS);
    if (writable == INVALID_HANDLE_VALUE)
        return 0;
    FileDescriptor owned(writable);
    return io.fsync(owned.get()) == 0 ? 0 : errno;
}

} // namespace dw::platform
