// SPDX-License-Identifier: MIT
#pragma once
// Changes the namespace makes on disk for its verbs. Each reports what it
// changed (ChangeReport.h) and answers a result whose text shellErrorText
// gives; a failed operation leaves everything as it was.

#include "platform/idlist/IdList.h"
#include "platform/namespace/ShellTypes.h"

#include <string>

namespace dw::platform {

// Makes folder `name` in the folder at `folderPath` (absolute list
// `folderAbsolute`); refuses invalid and taken names.
HResult createFolder(const ItemIdList* folderAbsolute, const std::string& folderPath, const std::string& name);

// Moves an item to the trash of its volume.
HResult moveItemToTrash(const ItemIdList* absolute, const std::string& path);

// Deletes an item for good; a folder with everything in it. Symbolic links
// are removed, never followed.
HResult deleteItemPermanently(const ItemIdList* absolute, const std::string& path);

} // namespace dw::platform
