// SPDX-License-Identifier: MIT
#pragma once
// Where the Linux namespace finds the user's folders and the machine's
// volumes. Read from the process environment by default; tests build their
// own so that nothing of the real user's home is touched.

#include <string>

namespace dw::platform {

struct NamespaceEnvironment {
    std::string homePath;
    std::string desktopPath;     // the XDG desktop directory (may not exist)
    std::string trashPath;       // the freedesktop trash of the home volume
    std::string mountTablePath;  // a file in the format of /proc/self/mounts
    std::string sysBlockPath;    // where removable flags of block devices live

    // From $HOME, the XDG user dirs and $XDG_DATA_HOME, read now.
    static NamespaceEnvironment fromSystem();
};

// Paths of the XDG user dirs that QStandardPaths does not offer (it has no
// templates folder): reads "XDG_<NAME>_DIR" from user-dirs.dirs in the
// configuration home, with $HOME expanded; `fallback` (below the home) when
// the entry is missing.
std::string xdgUserDir(const std::string& name, const std::string& fallback);

} // namespace dw::platform
