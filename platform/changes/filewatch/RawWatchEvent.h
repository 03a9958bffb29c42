// SPDX-License-Identifier: MIT
#pragma once
// One event as the kernel's inotify interface reports it.

#include <cstdint>
#include <string>

namespace dw::platform {

struct RawWatchEvent {
    int watch = -1;
    std::uint32_t mask = 0;
    std::uint32_t cookie = 0;
    std::string name; // empty when the event concerns the watched folder itself
};

} // namespace dw::platform
