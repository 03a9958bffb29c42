// SPDX-License-Identifier: MIT
#pragma once
// Waiting for work that may wait on a disk without waiting on the disk: the
// work runs on its volume's line of the listing producer (a share whose
// server stopped answering holds up only its own line), while the window's
// thread turns its event loop. Paints and timers go on; what the user types
// or clicks meanwhile waits until the answer, as behind a busy cursor, so
// nothing the user does can come between a question and its answer.

#include "platform/namespace/ContextMenu.h"

#include <chrono>
#include <functional>
#include <string>

// How long a menu, a dialog or a verb waits for its disk before saying that
// it does not answer.
constexpr std::chrono::milliseconds kVolumeAnswerPatience{3000};

// Runs `work` on the line of `volumeKey` and waits for it for at most
// `patience`. Given up on, work that has not begun is dropped; work that
// has begun runs to its end on its line, so it must own what it uses.
dw::platform::OffWindowOutcome RunOnVolumeLine(const std::string& volumeKey, const std::function<void()>& work,
                                               std::chrono::milliseconds patience = kVolumeAnswerPatience);
