// SPDX-License-Identifier: MIT
#pragma once
// Counts the program's live heap bytes by replacing the global allocation
// operators, so the benchmark can tell the memory an enumeration keeps per
// item without asking the operating system.

#include <cstddef>

namespace heapcounter {

std::size_t liveBytes();
std::size_t peakBytes();
// Starts a new peak from the current live bytes.
void resetPeak();

} // namespace heapcounter
