#pragma once
// Copying, moving and linking file-system items into a folder, as a drop
// does. Nothing is ever replaced, and a failed transfer leaves the source
// as it was and removes whatever part of the copy it had made.

#include "platform/namespace/ShellTypes.h"

#include <functional>
#include <string>

namespace dw::platform {

// A name for `name` in `folder` that nothing has yet: `name` itself, else
// "stem (2).ext", "stem (3).ext", ...
std::string freeNameIn(const std::string& folder, const std::string& name);

// Copies a file, a symbolic link (as a link) or a folder with everything in
// it to `destination`, which must not exist.
HResult copyItem(const std::string& source, const std::string& destination);

// Renames on the same volume; across volumes, moves by copying.
HResult moveItem(const std::string& source, const std::string& destination);

// Copies, then removes from the source what was copied. What another program
// added to or changed in the source meanwhile stays there, as does anything
// that cannot be removed; either way the copy stays too and the move fails.
HResult moveByCopying(const std::string& source, const std::string& destination);

// Makes `destination` a symbolic link to `source`.
HResult linkItem(const std::string& source, const std::string& destination);

// Lets tests act as another program would in the gaps of a transfer: take the
// destination name after the check that it is free, or change the source of
// a move after it was copied.
enum class TransferStage { CreatingCopy, RemovingSource };
using TransferHook = std::function<void(TransferStage stage, const std::string& path)>;
void setTransferHookForTests(TransferHook hook);

// Whether `path` is `folder` or lies inside it (symbolic links resolved).
bool isSameOrInside(const std::string& path, const std::string& folder);

} // namespace dw::platform
