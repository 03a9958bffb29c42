#pragma once
// The absolute item id lists of changed paths and volumes. A changed item
// may no longer exist (deleted, renamed away, unmounted), so it cannot always
// be parsed: its list is then built from the nearest ancestor that still
// parses, with one file-system id per missing path component.

#include "platform/idlist/IdList.h"
#include "platform/namespace/ShellTypes.h"

#include <string>

namespace dw::platform {

// Null only when not even "/" parses.
IdListPtr changedPathIdList(const std::string& path, bool isFolder);

// Computer, then the volume at `mountPoint`.
IdListPtr volumeIdList(const std::string& mountPoint, DriveType driveType);

} // namespace dw::platform
