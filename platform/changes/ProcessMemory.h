// SPDX-License-Identifier: MIT
#pragma once
// How much memory this process holds, for the change benchmarks' figures.

#include <cstdint>

namespace dw::platform {

// Peak and current resident set size in KiB (0 when unknown).
std::uint64_t PeakResidentKiB();
std::uint64_t CurrentResidentKiB();

} // namespace dw::platform
