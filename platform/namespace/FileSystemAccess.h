// SPDX-License-Identifier: MIT
#pragma once
// The POSIX calls behind the file-system folders: entry kinds, cheap probes
// and directory reading. Paths are exact bytes.

#include "platform/namespace/ShellFolder.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dw::platform {

std::string joinPath(std::string_view folder, std::string_view name);

// ENTRY_* flags of an existing entry (it is not followed when it is a
// symbolic link; its target only decides ENTRY_DIRECTORY); nothing when the
// entry does not exist.
std::optional<std::uint8_t> entryFlags(const std::string& path);

// Stops at the first subfolder (symbolic links to folders count); false for
// unreadable folders.
bool hasSubfolder(const std::string& folderPath);
// The file system's compression flag (regular files and folders only).
bool isCompressed(const std::string& path);
// A mount point: on another device than its parent, or the root.
bool isMountPoint(const std::string& path);
bool isWritableFolder(const std::string& folderPath);
// Whether two existing paths lie on the same volume.
bool onSameVolume(const std::string& first, const std::string& second);
HResult readFindData(const std::string& path, FindData& data);
// Removes a folder and everything in it without following symbolic links
// and without entering other volumes mounted inside it (what lies on those
// stays, and the removal then reports failure). Removes what it can.
HResult removeTree(const std::string& folderPath);
// Renames without ever replacing an existing entry (E_ALREADY_EXISTS).
HResult renameNoReplace(const std::string& from, const std::string& to);

// Reads one folder entry by entry, without "." and "..".
class DirectoryReader {
public:
    explicit DirectoryReader(const std::string& folderPath);
    ~DirectoryReader();
    DirectoryReader(const DirectoryReader&) = delete;
    DirectoryReader& operator=(const DirectoryReader&) = delete;

    // 0 when open, else the errno of opening it.
    int openError() const { return openError_; }
    // The next entry's name and ENTRY_* flags; false at the end.
    bool next(std::string& name, std::uint8_t& flags);

private:
    void* directory_ = nullptr;
    int openError_ = 0;
};

} // namespace dw::platform
