// SPDX-License-Identifier: MIT
#pragma once
// The side of change notification that sources of reports see: handing a
// report to the registrations, and learning which folders are registered so
// a source knows what to watch.

#include "platform/idlist/IdList.h"

#include <cstddef>
#include <functional>
#include <vector>

namespace dw::platform {

// Hands one report from `sourceLevel` (SHCNRF_InterruptLevel or
// SHCNRF_ShellLevel) to every matching registration. An interrupt-level
// report that repeats a shell-level report of the last seconds is dropped:
// our own operations report at once and the file system repeats them a
// moment later, and the owner must see each change once.
void DeliverChangeReport(int sourceLevel, long eventId, const ItemIdList* item1, const ItemIdList* item2);

struct RegisteredRoot {
    IdListPtr pidl; // absolute; the empty list for the desktop
    bool recursive = false;
};

// The entries of all registrations listening to `sourceLevel`.
std::vector<RegisteredRoot> RegisteredRoots(int sourceLevel);

// Called (on the registering thread, outside any lock) after each successful
// register and deregister. One observer; passing an empty function removes it.
void SetRegistrationObserver(std::function<void()> observer);

// Number of live registrations (for diagnostics and tests).
std::size_t RegistrationCount();

// True when `ancestor` is `item` itself or one of its ancestors.
bool IdListCovers(const ItemIdList* ancestor, const ItemIdList* item);

// True when `parent` is the direct parent of `item`.
bool IdListIsParentOf(const ItemIdList* parent, const ItemIdList* item);

} // namespace dw::platform
