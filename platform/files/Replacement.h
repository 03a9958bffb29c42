// SPDX-License-Identifier: MIT
#pragma once
// The last steps of replacing a calendar's contents, once the new contents
// are written and flushed to a new file beside it.
//
// The usual way swaps the two names in one step (RENAME_EXCHANGE): the
// original then sits under the new file's hidden name until we are sure no
// one wrote to it meanwhile, and only then goes; if someone did, the swap is
// undone and the calendar is as it was. A file with several hard links, or
// one whose owner we cannot give a new file, is rewritten in place instead,
// behind a flushed backup copy that is put back if anything goes wrong.

#include "platform/files/ChangeWatch.h"
#include "platform/files/FileIo.h"
#include "platform/files/NewFile.h"
#include "platform/files/SourceFile.h"

#include <cstdint>

namespace dw::platform {

enum class ReplaceResult {
    Replaced,
    CannotCreate,  // the calendar or its folder may not be written
    WriteFailed,   // full disk, I/O error: the calendar is as it was
    ChangedOnDisk, // another program wrote to it meanwhile: left as it was
    InUse,         // another program holds it open for writing: left as it was
};

struct ReplaceOutcome {
    ReplaceResult result = ReplaceResult::Replaced;
    int error = 0; // errno behind a failure, when there is one
};

// Puts `replacement`, flushed to disk, in the place of `source`. The folder
// is not flushed: the caller does that once for every file it replaced.
ReplaceOutcome installReplacement(SourceFile& source, ChangeWatch& watch, NewFile& replacement);

// Rewrites `source` with the first `size` bytes of `content`, in place. The
// source's reading descriptor is closed on the way.
ReplaceOutcome rewriteInPlace(SourceFile& source, ChangeWatch& watch, const NewFile& content, std::uint64_t size,
                              const FileIo& io);

} // namespace dw::platform
