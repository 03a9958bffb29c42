// SPDX-License-Identifier: MIT
#pragma once
// Copying, moving and linking file-system items into a folder, as a drop
// does. Nothing is ever replaced, and a failed transfer leaves the source
// as it was and removes whatever part of the copy it had made.

#include "platform/namespace/ShellTypes.h"

#include <cstdint>
#include <functional>
#include <string>

namespace dw::platform {

class TransferProgress;

// A name for `name` in `folder` that nothing has yet: `name` itself, else
// "stem (2).ext", "stem (3).ext", ...
std::string freeNameIn(const std::string& folder, const std::string& name);

// The transfers below report to `progress` when given (see
// TransferProgress.h) and stop with E_ABORT when it is cancelled: between
// two entries, or between two chunks of kCopyChunkBytes of a large file. A
// stopped or failed copy removes the part of it already made.
inline constexpr std::size_t kCopyChunkBytes = 1u << 20;

// Copies a file, a symbolic link (as a link) or a folder with everything in
// it to `destination`, which must not exist.
HResult copyItem(const std::string& source, const std::string& destination, TransferProgress* progress = nullptr);

// Renames on the same volume; across volumes, moves by copying.
HResult moveItem(const std::string& source, const std::string& destination, TransferProgress* progress = nullptr);

// Copies, flushes the copy to disk, then removes from the source what was
// copied. A source whose folder does not let us remove it is not copied at
// all. What another program added to or changed in the source meanwhile
// stays there, as does anything that cannot be removed; either way the copy
// stays too and the move answers E_SOURCE_KEPT.
HResult moveByCopying(const std::string& source, const std::string& destination,
                      TransferProgress* progress = nullptr);

// Makes `destination` a symbolic link to `source`.
HResult linkItem(const std::string& source, const std::string& destination);

// The progress units a copy of `path` reports in all (what it holds
// included); stops adding up when `progress` is cancelled.
std::uint64_t transferUnitsOf(const std::string& path, const TransferProgress* progress);

// Lets tests act as another program would in the gaps of a transfer: take the
// destination name after the check that it is free, change the source of a
// move after it was copied, or act after each chunk of a file copy (the
// path is the file being written).
enum class TransferStage { CreatingCopy, RemovingSource, CopiedChunk };
using TransferHook = std::function<void(TransferStage stage, const std::string& path)>;
void setTransferHookForTests(TransferHook hook);

// Whether `path` is `folder` or lies inside it (symbolic links resolved).
bool isSameOrInside(const std::string& path, const std::string& folder);

// The last component of a path, and the path of its folder ("/" for the root's entries).
std::string baseNameOf(const std::string& path);
std::string parentPathOf(const std::string& path);

} // namespace dw::platform
