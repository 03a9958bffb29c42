// SPDX-License-Identifier: MIT
#pragma once
// The shell items a notification component hands to its handlers.

#include "platform/idlist/IdList.h"

#include <memory>

class TStShellItem;

// An item made from a report's absolute id list.
std::unique_ptr<TStShellItem> MakeNotificationShellItem(const dw::platform::ItemIdList* absolute);

// Has the item's parent folder revalidate it, then reads its display name
// and icon index again from the shell (a medium came or went, so both may
// have changed).
void RefreshShellItemFromShell(TStShellItem& item);
