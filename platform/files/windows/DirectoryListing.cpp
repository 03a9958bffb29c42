// SPDX-License-Identifier: MIT
#include "platform/files/DirectoryListing.h"

#include "platform/files/windows/WinText.h"

#include <windows.h>

#include <vector>

namespace dw::platform {

DirectoryListing listDirectory(NativeFile folderFd)
{
    DirectoryListing listing;
    std::vector<unsigned char> buffer(64 * 1024);
    FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo; // from the first entry, whoever listed before
    for (;;) {
        if (!GetFileInformationByHandleEx(static_cast<HANDLE>(folderFd), kind, buffer.data(), DWORD(buffer.size()))) {
            const DWORD error = GetLastError();
            if (error != ERROR_NO_MORE_FILES)
                listing.error = win::errnoFromWin32(error);
            return listing;
        }
        kind = FileIdBothDirectoryInfo;
        for (std::size_t at = 0;;) {
            const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer.data() + at);
            const std::wstring name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
            if (name != L"." && name != L"..") {
                DirectoryEntry described;
                described.name = win::narrow(name);
                described.isDirectory = entry->FileAttributes & FILE_ATTRIBUTE_DIRECTORY;
                described.isLink = entry->FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
                described.isSpecial = entry->FileAttributes & FILE_ATTRIBUTE_DEVICE;
                listing.entries.push_back(std::move(described));
            }
            if (entry->NextEntryOffset == 0)
                break;
            at += entry->NextEntryOffset;
        }
    }
}

} // namespace dw::platform
