// SPDX-License-Identifier: MIT
#pragma once
// The path of the running program's own file: its "module" in the sense of
// the version calls, which read the version block embedded in it.

#include <string>

namespace dw::platform {

// The running executable's path. When the file has been replaced or deleted
// since the program started, the path through /proc that still reaches the
// running image.
std::string RunningModulePath();

// The file whose code or data holds `address`: a shared library's path as
// the dynamic linker opened it, or RunningModulePath() for the program itself
// (and for an address no loaded file holds).
std::string ModulePathOf(const void* address);

} // namespace dw::platform
