// SPDX-License-Identifier: MIT
#pragma once
// The shell version gate.
//
// The system shell module of this platform is our own namespace layer. Its
// version block (FileVersion "4.72.3110.0", the shell version it provides)
// is embedded beside the gate's code, in the ELF section ".dwshellversion" of
// the shell controls' shared library (or of a program that links them
// statically). The gate reads that block from the file at
// SystemShellModulePath(): by default the file that holds that code.
//
// Tests (and tools) point the path at another file to present another shell:
// a PE or ELF file whose own version block carries, say, FileVersion
// "4.71.1712.3" or "4.00.950". A file without a ".dwshellversion" section is
// read through its own version block, like a stand-alone shell module.
//
// The shell controls read the version when they are constructed and refuse
// the special folders that need shell 4.7 or later below that:
//
//   if (!dw::platform::ShellSupportsSpecialFolder(csidl, m_shellVersion))
//       throw ESsShellError(ssscShellVersionError);

#include <optional>
#include <string>

namespace dw::platform {

// Special folders (CSIDL values) that need this shell version or later:
// 1 (Internet), 29 (AltStartup), 30 (Common AltStartup), 31 (Common
// Favorites), 32 (Internet Cache), 33 (Cookies) and 34 (History).
inline constexpr double kShellVersionForNewSpecialFolders = 4.7;

// The file whose version block names the shell version.
std::string SystemShellModulePath();

// Presents the file at `path` as the system shell module; an empty path
// returns to the running program. Affects later reads of the version only.
void SetSystemShellModulePath(std::string path);

// The shell module's "FileVersion" as a number (4.72.3110.0 gives 4.72, with
// the rule of VersionNumber.h); nothing when the file, its version block or
// the string cannot be read or is no version.
std::optional<double> ReadShellModuleVersion(const std::string& path);

// ReadShellModuleVersion(SystemShellModulePath()), or 0 when that fails: a
// shell whose version cannot be told is treated as the oldest, so the newer
// special folders are refused rather than offered where they may not work.
double SystemShellVersion();

bool SpecialFolderNeedsNewShell(int csidl);

// False when `csidl` needs a newer shell than `shellVersion`.
bool ShellSupportsSpecialFolder(int csidl, double shellVersion);

} // namespace dw::platform
