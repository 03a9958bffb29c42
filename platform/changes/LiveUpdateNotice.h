// SPDX-License-Identifier: MIT
#pragma once
// Telling the user, once, that live updates are incomplete (the kernel's
// limit of watched folders was reached, its event queue overflowed, or a
// watched subtree holds more folders than are watched), and how to fix it. Each kind of problem is told once per run; the text is kept
// so that a window can show it whenever it likes, and a handler, if set,
// hears it at once.

#include <functional>
#include <string>

namespace dw::platform {

enum class LiveUpdateProblem { WatchingUnavailable, WatchLimitReached, EventQueueOverflowed, SubtreeTooLarge };

// Keeps the notice for `problem` unless one was kept already; answers
// whether this was the first.
bool ReportLiveUpdateProblem(LiveUpdateProblem problem, const std::string& text);

// All notices kept so far, one per line; empty when live updates are whole.
std::string LiveUpdateNotice();

// Called with each new notice, on the reporting thread; an empty function
// removes the handler.
void SetLiveUpdateNoticeHandler(std::function<void(const std::string&)> handler);

// Forgets the notices (for a new session and for tests).
void ClearLiveUpdateNotices();

} // namespace dw::platform
