#pragma once
// The absolute item id lists of changed paths and volumes. A changed item
// may no longer exist (deleted, renamed away, unmounted), so it cannot always
// be parsed: its list is then built from the nearest ancestor that still
// parses, with one file-system id per missing path component.

#include "platform/idlist/IdList.h"
#include "platform/namespace/ShellTypes.h"

#include <string>
#include <vector>

namespace dw::platform {

// Null only when not even "/" parses.
IdListPtr changedPathIdList(const std::string& path, bool isFolder);

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
