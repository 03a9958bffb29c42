// SPDX-License-Identifier: MIT
#pragma once
// The shell-level reports of the last moments, so that the file system's
// echo of a change our own code already reported can be recognised.

#include "platform/idlist/IdList.h"

#include <chrono>
#include <deque>

namespace dw::platform {

class RecentShellReports {
public:
    using Clock = std::chrono::steady_clock;

    static constexpr std::size_t kCapacity = 256;
    static constexpr Clock::duration kMemory = std::chrono::seconds(3);

    void remember(long eventId, const ItemIdList* item1, const ItemIdList* item2, Clock::time_point now = Clock::now());

    // True (and forgets the remembered report) when an equal report was
    // remembered within the memory span.
    bool takeMatch(long eventId, const ItemIdList* item1, const ItemIdList* item2, Clock::time_point now = Clock::now());

    std::size_t size() const { return reports_.size(); }

private:
    struct Report {
        long eventId;
        IdListPtr item1;
        IdListPtr item2;
        Clock::time_point when;
    };

    void forgetOlderThan(Clock::time_point limit);

    std::deque<Report> reports_;
};

} // namespace dw::platform
