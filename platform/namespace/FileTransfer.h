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

// Renames on the same volume; across volumes, copies and then removes the
// source (a source that cannot be removed completely stays, and the copy too).
HResult moveItem(const std::string& source, const std::string& destination);

// Makes `destination` a symbolic link to `source`.
HResult linkItem(const std::string& source, const std::string& destination);

// Lets tests take the destination name in the gap between copyItem's check
// that it is free and the creation of the copy, as another program may.
void setBeforeCreatingHookForTests(std::function<void(const std::string&)> hook);

// Whether `path` is `folder` or lies inside it (symbolic links resolved).
bool isSameOrInside(const std::string& path, const std::string& folder);

} // namespace dw::platform
