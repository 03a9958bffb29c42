#pragma once
// Replaces a file's contents so that a failure at any point leaves the old
// contents in place, and a reported success survives a power cut.
//
// The usual way is a temporary file beside the original, written, synced,
// given the original's mode, owner and extended attributes, and renamed over
// it. A file with several hard links cannot be renamed over without splitting
// its names, so it is rewritten in place behind a synced backup copy that is
// put back if anything fails. Symbolic links are followed: the link stays and
// its target gets the new contents.

#include "platform/files/FileIdentity.h"
#include "platform/files/FileIo.h"

#include <string>
#include <string_view>

namespace dw::platform {

enum class ReplaceResult {
    Replaced,
    CannotCreate,  // read-only file, unwritable folder, dangling or looping link
    WriteFailed,   // short write, full disk, I/O or sync error: old contents kept
    ChangedOnDisk, // the file is not what was read: nothing written
};

struct ReplaceOutcome {
    ReplaceResult result = ReplaceResult::Replaced;
    int error = 0; // errno behind the failure, when there is one
};

// `loaded` is what was seen when `original` was read from `path`.
ReplaceOutcome replaceFileContents(const std::string& path, const FileIdentity& loaded,
                                   std::string_view original, std::string_view content,
                                   const FileIo& io = systemFileIo());

// True when the user running us may not write the file: no write permission,
// or, for the superuser who ignores permissions, no write bit at all.
bool isReadOnlyForUs(const std::string& path, mode_t mode);

} // namespace dw::platform
