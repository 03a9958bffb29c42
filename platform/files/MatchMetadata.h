// SPDX-License-Identifier: MIT
#pragma once
// Gives a new file exactly what the original had: owner, group, mode,
// extended attributes (ACLs included) and file attributes; nothing more, so
// that a default ACL of the folder, say, cannot grant anyone access that the
// original did not.

#include "platform/files/FileIdentity.h"

namespace dw::platform {

enum class MetadataMatch {
    Exact,
    NotPossible, // we may not give the new file all of it: the original must be kept
    Failed,      // the original's could not be read, or the new file not changed
};

struct MetadataOutcome {
    MetadataMatch result = MetadataMatch::Exact;
    int error = 0;
};

// `source` is the original open as `sourceFd`; `target` a file we created.
MetadataOutcome matchMetadata(NativeFile sourceFd, const FileIdentity& source, NativeFile targetFd);

// Whether a file of ours can be given `source`'s owner and group at all:
// only root may give a file away, and others may pick only among their own
// groups. A guess made before any work; matchMetadata has the last word.
bool mayTakeOwnership(const FileIdentity& source);

} // namespace dw::platform
