// SPDX-License-Identifier: MIT
#pragma once
// Writes a file so that a failure at any point leaves what was there before
// (nothing, or the old contents), and a reported success survives a power
// cut: a temporary file, synced, renamed over the target, the folder synced.

#include "platform/files/FileIdentity.h"
#include "platform/files/FileIo.h"
#include "platform/files/WholeFile.h"

#include <string>
#include <string_view>

namespace dw::platform {

// The folder `path` is in ("." for a bare name, "/" for the root's entries).
std::string parentFolderOf(const std::string& path);

// Makes the folder and any missing folders above it, private to the user as
// configuration folders are; each new folder's parent is synced. 0 or errno.
int makeFoldersDurably(const std::string& folder);

// Makes `path`, which must not exist, with `content` (mode 0600). A file that
// appears there meanwhile is never overwritten: ChangedOnDisk.
ReplaceOutcome createFileDurably(const std::string& path, std::string_view content,
                                 const FileIo& io = systemFileIo());

} // namespace dw::platform
