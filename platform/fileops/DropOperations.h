// SPDX-License-Identifier: MIT
#pragma once
// The file work of drops, made by the drop targets once the effect is
// decided; each runs once, on any thread (see IDropOperation).

#include "platform/fileops/DropTarget.h"

#include <memory>
#include <string>
#include <vector>

namespace dw::platform {

// Copies, moves or links (`effect`) each of `paths` into the folder, under
// a free name ("name (2).ext") when its own is taken.
std::unique_ptr<IDropOperation> makeFolderDropOperation(std::string folderPath, std::vector<std::string> paths,
                                                        unsigned effect);

// Moves each of `paths` to the trash of its volume.
std::unique_ptr<IDropOperation> makeTrashDropOperation(std::vector<std::string> paths);

} // namespace dw::platform
