// SPDX-License-Identifier: MIT
#pragma once
// The texts that tell the user live updates are incomplete, and how to
// raise the kernel limit that made them so.

#include "platform/changes/filewatch/InotifyReader.h"

#include <cstddef>
#include <string>

namespace dw::platform {

// The limit of watched folders was reached.
std::string watchLimitNotice(const InotifyLimit& limit);

// The kernel's event queue (of `queueLimit` events, 0 when unknown) overflowed.
std::string overflowNotice(long queueLimit);

// The kernel refused an inotify instance.
std::string unavailableNotice(const InotifyLimit& instances);

// The subtree at `root` holds more folders than the `budget` of watches a
// recursive registration gets; `kernelLimit` is what the budget follows
// (its value 0 when the budget is a fixed one).
std::string subtreeBudgetNotice(const std::string& root, std::size_t budget, const InotifyLimit& kernelLimit);

} // namespace dw::platform
