// SPDX-License-Identifier: MIT
#include "platform/files/Writeback.h"

namespace dw::platform {

// Windows writes a file's pages on its own schedule and has no call to start
// early; the flush before the swap writes whatever is left.
void startWriteback(NativeFile, std::uint64_t, std::uint64_t) {}

void awaitWriteback(NativeFile, std::uint64_t, std::uint64_t) {}

} // namespace dw::platform
