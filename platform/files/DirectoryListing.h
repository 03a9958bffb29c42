// SPDX-License-Identifier: MIT
#pragma once
// Lists a folder in the order the file system returns its entries.

#include "platform/files/FileDescriptor.h"

#include <string>
#include <vector>

namespace dw::platform {

struct DirectoryEntry {
    std::string name;
    bool isDirectory = false; // links to folders count as folders
    bool isLink = false;
    bool isSpecial = false;   // a pipe, socket or device: never a calendar
};

struct DirectoryListing {
    std::vector<DirectoryEntry> entries;
    int error = 0; // errno when the folder could not be read (to the end)
};

// Lists the folder open as `folderFd`, which stays open and untouched.
DirectoryListing listDirectory(NativeFile folderFd);

} // namespace dw::platform
