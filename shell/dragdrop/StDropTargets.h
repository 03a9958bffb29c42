// SPDX-License-Identifier: MIT
#pragma once
// The drop target of a shell item that a view shows as a folder: asked of
// its parent folder, or of the desktop for an item without one. Null when
// the item takes no drops.

#include "platform/fileops/DropTarget.h"

#include <memory>

class TStShellItem;

std::unique_ptr<dw::platform::IDropTarget> DropTargetOfItem(const TStShellItem& item);
