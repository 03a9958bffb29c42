// SPDX-License-Identifier: MIT
#include "platform/files/FileIo.h"

#include "platform/files/FileIdentity.h"

#include "platform/files/windows/WinText.h"

#include <windows.h>

#include <cerrno>

namespace dw::platform {

namespace {

OVERLAPPED at(std::uint64_t offset)
{
    OVERLAPPED where{};
    where.Offset = DWORD(offset);
    where.OffsetHigh = DWORD(offset >> 32);
    return where;
}

constexpr std::size_t mostAtOnce = std::size_t(1) << 30; // ReadFile and WriteFile count in 32 bits

std::int64_t writeAt(NativeFile fd, const void* data, std::size_t size, std::uint64_t offset)
{
    OVERLAPPED where = at(offset);
    DWORD wrote = 0;
    if (!WriteFile(static_cast<HANDLE>(fd), data, DWORD(size < mostAtOnce ? size : mostAtOnce), &wrote, &where)) {
        errno = win::errnoFromWin32(GetLastError());
        return -1;
    }
    return wrote;
}

int flush(NativeFile fd)
{
    if (FlushFileBuffers(static_cast<HANDLE>(fd)))
        return 0;
    errno = win::errnoFromWin32(GetLastError());
    return -1;
}

} // namespace

const FileIo& systemFileIo()
{
    static const FileIo io{writeAt, flush, flush};
    return io;
}

std::int64_t readAt(NativeFile fd, void* into, std::size_t size, std::uint64_t offset)
{
    OVERLAPPED where = at(offset);
    DWORD got = 0;
    if (!ReadFile(static_cast<HANDLE>(fd), into, DWORD(size < mostAtOnce ? size : mostAtOnce), &got, &where)) {
        const DWORD error = GetLastError();
        if (error == ERROR_HANDLE_EOF)
            return 0;
        errno = win::errnoFromWin32(error);
        return -1;
    }
    return got;
}

bool identityOf(NativeFile fd, FileIdentity& identity)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(static_cast<HANDLE>(fd), &info)) {
        errno = win::errnoFromWin32(GetLastError());
        return false;
    }
    identity = FileIdentity();
    identity.device = info.dwVolumeSerialNumber;
    identity.inode = std::uint64_t(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
    identity.size = std::int64_t(std::uint64_t(info.nFileSizeHigh) << 32 | info.nFileSizeLow);
    // 100-nanosecond steps since 1601; only ever compared.
    identity.modifiedNs =
        std::int64_t(std::uint64_t(info.ftLastWriteTime.dwHighDateTime) << 32 | info.ftLastWriteTime.dwLowDateTime) * 100;
    identity.mode = info.dwFileAttributes;
    identity.links = info.nNumberOfLinks;
    return true;
}

void closeNativeFile(NativeFile fd)
{
    CloseHandle(static_cast<HANDLE>(fd));
}

int closeNativeFileReporting(NativeFile fd)
{
    return CloseHandle(static_cast<HANDLE>(fd)) ? 0 : win::errnoFromWin32(GetLastError());
}

} // namespace dw::platform
