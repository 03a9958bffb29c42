// SPDX-License-Identifier: MIT
#include "platform/changes/RecentShellReports.h"

#include <algorithm>

namespace dw::platform {
namespace {

bool sameList(const ItemIdList* a, const ItemIdList* b)
{
    if (a == nullptr || b == nullptr)
        return a == b;
    return ILIsEqual(a, b);
}

} // namespace

void RecentShellReports::remember(long eventId, const ItemIdList* item1, const ItemIdList* item2,
                                  Clock::time_point now)
{
    forgetOlderThan(now - kMemory);
    if (reports_.size() == kCapacity)
        reports_.pop_front();
    reports_.push_back({eventId, cloneIdList(item1), cloneIdList(item2), now});
}

bool RecentShellReports::takeMatch(long eventId, const ItemIdList* item1, const ItemIdList* item2,
                                   Clock::time_point now)
{
    forgetOlderThan(now - kMemory);
    const auto match = std::find_if(reports_.begin(), reports_.end(), [&](const Report& report) {
        return report.eventId == eventId && sameList(report.item1.get(), item1) && sameList(report.item2.get(), item2);
    });
    if (match == reports_.end())
        return false;
    reports_.erase(match);
    return true;
}

void RecentShellReports::forgetOlderThan(Clock::time_point limit)
{
    while (!reports_.empty() && reports_.front().when < limit)
        reports_.pop_front();
}

} // namespace dw::platform
