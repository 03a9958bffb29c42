// SPDX-License-Identifier: MIT
#pragma once
// What the component tests share: a fake source that hands reports straight
// to a component's hidden window, and a record of every handler call.

#include "platform/changes/ChangeNotify.h"
#include "shell/notification/StShellNotification.h"

#include <ostream>
#include <string>
#include <vector>

namespace notification_testing {

// One handler call: the handler's name and the paths of its items ("-" for
// none), or the drive mask for the free-space handler.
struct Call {
    std::string handler;
    std::string item1;
    std::string item2;
    TStNotifyEventsSet events;

    bool operator==(const Call&) const = default;
};

void PrintTo(const Call& call, std::ostream* out);

std::string pathOf(const TStShellItem* item);

// Assigns every event of `component` so that each call is recorded.
void recordAllEvents(TStCustomShellNotification& component, std::vector<Call>& calls);

// Hands a report to the component's window procedure now, as the shell's
// posted message would.
void deliverReport(const TStCustomShellNotification& component, long eventBits,
                   const dw::platform::ItemIdList* item1, const dw::platform::ItemIdList* item2 = nullptr);

// Handles posted messages (among them the component's drain).
void handlePosted();

} // namespace notification_testing
