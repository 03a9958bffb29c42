// SPDX-License-Identifier: MIT
#pragma once
// The part of a verb that may wait on a disk (making a folder, moving to the
// trash, deleting, restoring), run through IShellUi away from the window's
// thread, on the line of the item's volume.

#include "platform/idlist/IdList.h"
#include "platform/namespace/ContextMenu.h"

#include <functional>
#include <memory>
#include <string>

namespace dw::platform {

// The operation's result; E_NO_ANSWER when its disk did not answer before it
// began (nothing was done), E_ANSWER_PENDING when it stopped answering
// while the operation ran. `operation` must own what it uses.
HResult runVerbWork(IShellUi& ui, const std::string& volumeKey, std::function<HResult()> operation);

// The line an item's work runs on (IShellNamespace::volumeKeyOf).
std::string volumeKeyOfItem(const ItemIdList* absolute);

// A copy of an id list that work off the window's thread can own.
using SharedItem = std::shared_ptr<const ItemIdList>;
SharedItem shareItem(const ItemIdList* absolute);

} // namespace dw::platform
