// SPDX-License-Identifier: MIT
#pragma once
// A small file read whole, and its contents replaced durably: the pieces the
// conversion uses, put together for files such as the settings store.
//
// Reading opens only regular files (through SourceFile: a pipe or device
// behind the name is never opened) and reports a file that changed size
// while it was read. Replacing writes the new contents to an unnamed file
// beside the original, flushes it, gives it the original's owner, mode and
// attributes and swaps it in under a watch for other writers; a file that
// must keep its inode is rewritten in place behind a backup. A failure at
// any point leaves the original as it was.

#include "platform/files/ByteBuffer.h"
#include "platform/files/FileIdentity.h"
#include "platform/files/FileIo.h"
#include "platform/files/Replacement.h"

#include <string>
#include <string_view>

namespace dw::platform {

struct ReadOutcome {
    int error = 0; // errno of the failure, 0 on success
    bool ok() const { return error == 0; }
};

// Fills `buffer` with the file's bytes and `identity` with what it was when
// read; symbolic links are followed.
ReadOutcome readWholeFile(const std::string& path, ByteBuffer& buffer, FileIdentity& identity);

// What the file at `path` (links followed) is now; false when it cannot be seen.
bool currentIdentity(const std::string& path, FileIdentity& identity);

// Replaces the contents of `path`, which must still be what was `loaded`
// (ChangedOnDisk, and nothing written, when it is not).
ReplaceOutcome replaceFileContents(const std::string& path, const FileIdentity& loaded, std::string_view content,
                                   const FileIo& io = systemFileIo());

} // namespace dw::platform
