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
    std::string trashPath;       // the freedesktop trash of the home volume (homeTrashPath)
    std::string mountTablePath;  // a file in the format of /proc/self/mounts
    std::string sysBlockPath;    // where removable flags of block devices live

    // From $HOME, the XDG user dirs and $XDG_DATA_HOME, read now.
    static NamespaceEnvironment fromSystem();
};

// The user's data folder: $XDG_DATA_HOME, or ~/.local/share when that is
// unset or relative (a relative one is ignored, as the XDG rule says: it
// would be taken from whatever folder the program was started in). The home
// folder is $HOME, or the account's when that is unset or relative. Empty
// when no absolute home is known either. Read now, from the environment.
std::string dataHomePath();
// The freedesktop trash of the home volume: "Trash" in the data folder;
// empty when there is none.
std::string homeTrashPath();

// Paths of the XDG user dirs that QStandardPaths does not offer (it has no
// templates folder): reads "XDG_<NAME>_DIR" from user-dirs.dirs in the
// configuration home, with $HOME expanded; `fallback` (below the home) when
// the entry is missing.
std::string xdgUserDir(const std::string& name, const std::string& fallback);

} // namespace dw::platform
