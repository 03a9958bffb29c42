// SPDX-License-Identifier: MIT
#pragma once
// A change found in the file system, in paths: what the file watcher hands
// on before paths become item id lists.

#include <string>

namespace dw::platform {

struct PathChange {
    long eventId = 0;   // one SHCNE_* bit
    std::string path1;  // the item (for renames: its old path)
    std::string path2;  // a rename's new path, else empty
    bool isFolder = false;

    bool operator==(const PathChange&) const = default;
};

// "dir/name", also for dir "/".
std::string childPath(const std::string& folder, const std::string& name);

// The folder holding `path` ("/" for "/x"); empty for "/" itself.
std::string parentPath(const std::string& path);

// The last component of `path` ("x" for "/a/x").
std::string lastComponent(const std::string& path);

// True when `path` lies strictly below `folder`.
bool isBelow(const std::string& folder, const std::string& path);

} // namespace dw::platform
