// SPDX-License-Identifier: MIT
#pragma once
// Taking entries out of the freedesktop trash: each entry is a file or
// folder in the trash's "files" folder with a record of where it came from
// in "info/NAME.trashinfo". Both operations report what they changed; a
// failed one leaves the entry where it was.

#include "platform/idlist/IdList.h"
#include "platform/namespace/ShellTypes.h"

#include <string>
#include <string_view>

namespace dw::platform {

// Moves the entry back to `originalPath` (making its folder when that is
// gone); refuses when something else now has that name.
HResult restoreFromTrash(const std::string& trashPath, const std::string& entryName,
                         const std::string& originalPath, const ItemIdList* entryAbsolute);

// Deletes the entry and its record for good.
HResult deleteFromTrash(const std::string& trashPath, const std::string& entryName,
                        const ItemIdList* entryAbsolute);

} // namespace dw::platform
