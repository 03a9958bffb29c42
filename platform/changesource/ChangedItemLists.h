// SPDX-License-Identifier: MIT
#pragma once
// The absolute item id lists of changed paths and volumes. A changed item
// may no longer exist (deleted, renamed away, unmounted), so it cannot always
// be parsed: its list is then built from the nearest ancestor that still
// parses, with one file-system id per missing path component.

#include "platform/idlist/IdList.h"
#include "platform/namespace/ShellFolder.h"
#include "platform/namespace/ShellTypes.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace dw::platform {

// Null only when not even "/" parses.
IdListPtr changedPathIdList(const std::string& path, bool isFolder);

// The same lists, made cheaply enough for bursts of changes: the list and
// the bound folder of each folder that changes happen in are kept, so the
// list of a changed item costs its folder's kept list and one parse of its
// name in that folder. A folder is found from its parent's kept entry where
// it can; it is parsed from the desktop only when it is a volume's mount
// point (whose list starts at its volume) or when nothing above it is kept.
//
// What is kept must be forgotten when it may no longer hold: a folder
// removed, renamed or replaced (forgetTree), mounts changing (forgetAll).
class ChangedItemLists {
public:
    explicit ChangedItemLists(std::size_t capacity = 4096) : capacity_(capacity) {}

    // The mount points of the volumes, sorted; forgets everything kept.
    void setVolumeMountPoints(std::vector<std::string> sortedMountPoints);
    void forgetAll() { folders_.clear(); }
    // Forgets `folder` and every folder kept below it.
    void forgetTree(const std::string& folder);
    std::size_t keptFolderCount() const { return folders_.size(); }

    // The item at `path` as the desktop parses it; when it is gone, as it
    // was (a folder when `isFolder`). Null only when not even "/" parses.
    IdListPtr itemList(const std::string& path, bool isFolder);
    // A mount point as an entry of its parent folder, which is how a view
    // showing the parent knows it: a folder, made without looking at it (it
    // may be a network share whose server does not answer).
    IdListPtr mountPointList(const std::string& mountPoint);

private:
    struct KeptFolder {
        IdListPtr list;
        ShellFolderPtr folder;
    };

    const KeptFolder* keptFolder(const std::string& path);
    // The item at `path` as an entry of its parent folder.
    IdListPtr entryList(const std::string& path, bool isFolder);
    bool isVolumeMountPoint(const std::string& path) const;

    std::size_t capacity_;
    std::vector<std::string> volumeMountPoints_;
    std::unordered_map<std::string, KeptFolder> folders_;
};

// The folders that give file-system items a second name in the namespace:
// below the home folder an item is also reached through the desktop's Home
// item, and inside the desktop directory it is a child of the desktop.
struct AliasRoot {
    std::string path;     // the folder's path
    IdListPtr prefix;     // its list as that second name (Home; the empty desktop)
};
std::vector<AliasRoot> currentAliasRoots();

// The item at `path` (whose list is `primary`) under the alias root, or
// null when it does not lie there. The ids below the root are `primary`'s.
IdListPtr aliasIdList(const AliasRoot& root, const std::string& path, const ItemIdList* primary);

// Computer, then the volume at `mountPoint`.
IdListPtr volumeIdList(const std::string& mountPoint, DriveType driveType);

} // namespace dw::platform
