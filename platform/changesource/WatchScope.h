// SPDX-License-Identifier: MIT
#pragma once
// Which file-system folders the registrations want watched: the folder of
// every registered entry; below a recursive entry on a file-system folder,
// its whole subtree (the source watches it within a budget of kernel
// watches); and below a recursive entry on the desktop or another virtual
// folder, which stands for whole disks the kernel cannot watch, each folder
// the namespace has been asked to enumerate (the folders a view has opened).

#include "platform/changes/ChangeRegistry.h"

#include <string>
#include <vector>

namespace dw::platform {

class WatchScope {
public:
    void setRoots(const std::vector<RegisteredRoot>& roots);

    // File-system folders of the entries themselves.
    const std::vector<std::string>& entryFolders() const { return entryFolders_; }

    // File-system folders of recursive entries, whose whole subtree is wanted.
    std::vector<std::string> subtreeRoots() const;
    // True when `folder` lies at or below one of the subtree roots.
    bool inSubtree(const std::string& folder) const;

    // True when an enumerated `folder` lies inside a recursive entry.
    bool coversEnumerated(const std::string& folder) const;

    // True when a watched `folder` is still wanted: an entry's folder, a
    // folder of a subtree, or one a view listed (`listed`) that lies inside
    // a recursive entry.
    bool wants(const std::string& folder, bool listed) const;

    bool empty() const { return entryFolders_.empty() && recursiveRoots_.empty(); }

private:
    struct RecursiveRoot {
        std::string path;     // its file-system path, or empty for a virtual folder
        IdListPtr pidl;       // for virtual folders
    };

    std::vector<std::string> entryFolders_;
    std::vector<RecursiveRoot> recursiveRoots_;
};

} // namespace dw::platform
