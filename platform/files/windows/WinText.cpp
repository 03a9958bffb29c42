// SPDX-License-Identifier: MIT
#include "platform/files/windows/WinText.h"

#include <windows.h>
#include <winternl.h>

#include <cerrno>
#include <cwchar>
#include <iterator>
#include <vector>

extern "C" NTSTATUS NTAPI NtCreateFile(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PIO_STATUS_BLOCK, PLARGE_INTEGER, ULONG,
                                       ULONG, ULONG, ULONG, PVOID, ULONG);

namespace dw::platform::win {

std::wstring widen(const std::string& text)
{
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        std::uint32_t point = c;
        std::size_t length = 1;
        if (c >= 0xF0 && i + 3 < text.size()) {
            point = (c & 0x07u) << 18 | (text[i + 1] & 0x3Fu) << 12 | (text[i + 2] & 0x3Fu) << 6 | (text[i + 3] & 0x3Fu);
            length = 4;
        } else if (c >= 0xE0 && i + 2 < text.size()) {
            point = (c & 0x0Fu) << 12 | (text[i + 1] & 0x3Fu) << 6 | (text[i + 2] & 0x3Fu);
            length = 3;
        } else if (c >= 0xC0 && i + 1 < text.size()) {
            point = (c & 0x1Fu) << 6 | (text[i + 1] & 0x3Fu);
            length = 2;
        }
        if (point >= 0x10000) {
            point -= 0x10000;
            out += wchar_t(0xD800 + (point >> 10));
            out += wchar_t(0xDC00 + (point & 0x3FF));
        } else {
            out += wchar_t(point);
        }
        i += length;
    }
    return out;
}

std::string narrow(const std::wstring& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t point = static_cast<std::uint16_t>(text[i]);
        const bool high = point >= 0xD800 && point < 0xDC00;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            point = 0x10000 + ((point - 0xD800) << 10) + (static_cast<std::uint16_t>(text[++i]) - 0xDC00);
        }
        if (point < 0x80) {
            out += char(point);
        } else if (point < 0x800) {
            out += char(0xC0 | point >> 6);
            out += char(0x80 | (point & 0x3F));
        } else if (point < 0x10000) {
            out += char(0xE0 | point >> 12);
            out += char(0x80 | (point >> 6 & 0x3F));
            out += char(0x80 | (point & 0x3F));
        } else {
            out += char(0xF0 | point >> 18);
            out += char(0x80 | (point >> 12 & 0x3F));
            out += char(0x80 | (point >> 6 & 0x3F));
            out += char(0x80 | (point & 0x3F));
        }
    }
    return out;
}

int errnoFromWin32(unsigned long error)
{
    switch (error) {
    case ERROR_SUCCESS: return 0;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_PRIVILEGE_NOT_HELD: return EACCES;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
    case ERROR_UNABLE_TO_REMOVE_REPLACED: return EBUSY;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_DIRECTORY: return ENOTDIR;
    case ERROR_DIR_NOT_EMPTY: return ENOTEMPTY;
    case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
    case ERROR_CANT_RESOLVE_FILENAME: return ELOOP;
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_PARAMETER: return EINVAL;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return ENOMEM;
    case ERROR_TOO_MANY_OPEN_FILES: return EMFILE;
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_FUNCTION: return ENOSYS;
    default: return EIO;
    }
}

int errnoFromStatus(long status)
{
    return errnoFromWin32(RtlNtStatusToDosError(status));
}

int openRelative(NativeFile root, const std::wstring& name, unsigned long access, unsigned long share,
                 unsigned long disposition, unsigned long options, NativeFile& opened, unsigned long attributes)
{
    UNICODE_STRING text;
    text.Buffer = const_cast<wchar_t*>(name.c_str());
    text.Length = USHORT(name.size() * sizeof(wchar_t));
    text.MaximumLength = text.Length;
    OBJECT_ATTRIBUTES object;
    InitializeObjectAttributes(&object, &text, OBJ_CASE_INSENSITIVE, static_cast<HANDLE>(root), nullptr);
    IO_STATUS_BLOCK io{};
    HANDLE handle = nullptr;
    const NTSTATUS status = NtCreateFile(&handle, access | SYNCHRONIZE, &object, &io, nullptr, attributes, share,
                                         disposition, options | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
    if (status < 0) {
        opened = noFile;
        return errnoFromStatus(status);
    }
    opened = handle;
    return 0;
}

namespace {

// The drive ("C:\\") of the volume with serial number `serial`, or "".
std::wstring driveWithSerial(DWORD serial)
{
    wchar_t drives[128] = {};
    if (GetLogicalDriveStringsW(DWORD(std::size(drives)), drives) == 0)
        return {};
    for (const wchar_t* drive = drives; *drive; drive += wcslen(drive) + 1) {
        DWORD found = 0;
        if (GetVolumeInformationW(drive, nullptr, 0, &found, nullptr, nullptr, nullptr, 0) && found == serial)
            return drive;
    }
    return {};
}

// The path from the file's name on its volume and the drive the volume is
// on: for when the system cannot give the whole path at once (Wine cannot
// past MAX_PATH).
int pathFromVolumeName(NativeFile file, std::wstring& path)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(static_cast<HANDLE>(file), &info))
        return errnoFromWin32(GetLastError());
    std::vector<char> buffer(sizeof(FILE_NAME_INFO) + 65536);
    auto* name = reinterpret_cast<FILE_NAME_INFO*>(buffer.data());
    if (!GetFileInformationByHandleEx(static_cast<HANDLE>(file), FileNameInfo, name, DWORD(buffer.size())))
        return errnoFromWin32(GetLastError());
    const std::wstring drive = driveWithSerial(info.dwVolumeSerialNumber);
    if (drive.empty())
        return ENOENT;
    path = L"\\\\?\\" + drive.substr(0, 2) + std::wstring(name->FileName, name->FileNameLength / sizeof(wchar_t));
    return 0;
}

} // namespace

int finalPath(NativeFile file, std::wstring& path)
{
    std::wstring buffer(512, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(static_cast<HANDLE>(file), buffer.data(), DWORD(buffer.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0)
            return pathFromVolumeName(file, path);
        if (length < buffer.size()) {
            buffer.resize(length);
            path = std::move(buffer);
            return 0;
        }
        buffer.resize(length + 1);
    }
}

bool runningUnderWine()
{
    static const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}

} // namespace dw::platform::win
