// SPDX-License-Identifier: MIT
#pragma once
// Where each special folder number lives on a Linux desktop.

#include <optional>
#include <string>

namespace dw::platform {

enum class SpecialFolderKind {
    Desktop,    // the empty list
    Computer,   // Drives
    Network,
    Trash,      // BitBucket
    Path,       // a folder of the file system
    Unavailable // no counterpart on Linux
};

struct SpecialFolder {
    SpecialFolderKind kind = SpecialFolderKind::Unavailable;
    std::string path; // for Path
};

// Paths come from the XDG user dirs and freedesktop locations as the
// environment gives them now; the folder need not exist (parsing then fails).
SpecialFolder specialFolderFor(int csidl);

} // namespace dw::platform
