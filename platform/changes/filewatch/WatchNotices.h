#pragma once
// The texts that tell the user live updates are incomplete, and how to
// raise the kernel limit that made them so.

#include "platform/changes/filewatch/InotifyReader.h"

#include <string>

namespace dw::platform {

// The limit of watched folders was reached.
std::string watchLimitNotice(const InotifyLimit& limit);

// The kernel's event queue (of `queueLimit` events, 0 when unknown) overflowed.
std::string overflowNotice(long queueLimit);

// The kernel refused an inotify instance.
std::string unavailableNotice(const InotifyLimit& instances);

} // namespace dw::platform
