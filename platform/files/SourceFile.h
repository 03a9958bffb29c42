// SPDX-License-Identifier: MIT
#pragma once
// A calendar opened for reading, and where it really lives.
//
// Symbolic links are followed to the file itself: its folder and name are
// what a replacement must take, so that the link stays a link. Nothing but a
// regular file is ever opened for reading: the name is opened with O_PATH,
// which opens nothing, the type of what it reached is checked, and only then
// is that same inode opened for reading, through /proc/self/fd, so no one can
// put a pipe or a device in its place between the check and the open.

#include "platform/files/FileDescriptor.h"
#include "platform/files/FileIdentity.h"
#include "platform/files/Folder.h"

#include <memory>
#include <string>

namespace dw::platform {

struct SourceFile {
    std::shared_ptr<Folder> folder; // where the file's own name is
    std::string name;               // that name
    FileDescriptor fd;              // open for reading
    FileIdentity identity;          // what it was when it was opened
    // Windows: another program had it open for writing, so `fd` could not
    // shut writers out (Linux finds that out when it takes its lease).
    bool othersWriting = false;
};

// Opens `name` (which may hold folders too) in `folder`; 0 or errno: ENOENT, ELOOP (a loop, or too many
// links), EISDIR, EINVAL (not a regular file), EBUSY (another program holds a
// lease that reading would break), EACCES and the like.
int openSourceFile(const std::shared_ptr<Folder>& folder, const std::string& name, SourceFile& file);

// 0 when we may rewrite the calendar; EACCES when it is read-only for us (no
// write permission, or for root no write bit at all; on Windows the
// read-only attribute), EPERM when it is immutable or append-only. Asked
// before any work, so that the rename at the end does not fail after it all.
int rewritingRefused(const SourceFile& source);

} // namespace dw::platform
