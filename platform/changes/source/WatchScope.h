#pragma once
// Which file-system folders the registrations want watched: the folder of
// every registered entry, and, below a recursive entry, each folder the
// namespace has been asked to enumerate (the folders a view has opened;
// the kernel cannot watch a whole disk).

#include "platform/changes/ChangeRegistry.h"

#include <string>
#include <vector>

namespace dw::platform {

class WatchScope {
public:
    void setRoots(const std::vector<RegisteredRoot>& roots);

    // File-system folders of the entries themselves.
    const std::vector<std::string>& entryFolders() const { return entryFolders_; }

    // True when an enumerated `folder` lies inside a recursive entry.
    bool coversEnumerated(const std::string& folder) const;

    // True when a watched `folder` is still wanted.
    bool wants(const std::string& folder) const;

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
