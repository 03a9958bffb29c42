// SPDX-License-Identifier: MIT
#pragma once
// Turns Ctrl+C, a hang-up and a polite kill into a request that a long job
// can look at between two steps, so that it never stops in the middle of
// one (for a file being replaced: with a temporary or backup file left).

namespace dw::platform {

void catchStopSignals();

// The signal that asked the run to stop, or 0.
int stopSignal();

} // namespace dw::platform
