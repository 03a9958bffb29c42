// SPDX-License-Identifier: MIT
#include "platform/changes/filewatch/WatchNotices.h"

namespace dw::platform {
namespace {

std::string raiseAdvice(const std::string& setting, long suggested)
{
    return "To raise the limit, run as root: sysctl " + setting + "=" + std::to_string(suggested);
}

} // namespace

std::string watchLimitNotice(const InotifyLimit& limit)
{
    return "Live updates are incomplete: the system's limit of "
        + (limit.value > 0 ? std::to_string(limit.value) + " " : std::string())
        + "watched folders was reached, so changes in some folders show only when they are opened again. "
        + raiseAdvice(limit.setting, 524288);
}

std::string overflowNotice(long queueLimit)
{
    return "Live updates are incomplete: more changes happened at once than the system can queue"
        + (queueLimit > 0 ? " (" + std::to_string(queueLimit) + " events)" : std::string())
        + ", so the affected folders were read again. " + raiseAdvice("fs.inotify.max_queued_events", 65536);
}

std::string unavailableNotice(const InotifyLimit& instances)
{
    return "Live updates are off: the system refused to watch folders"
        + (instances.value > 0
               ? " (its limit of " + std::to_string(instances.value) + " watching programs may be reached)"
               : std::string())
        + ", so changes show only when folders are opened again. " + raiseAdvice(instances.setting, 1024);
}

std::string subtreeBudgetNotice(const std::string& root, std::size_t budget, const InotifyLimit& kernelLimit)
{
    std::string notice = "Live updates are incomplete: " + root + " holds more folders than the "
        + std::to_string(budget)
        + " that are watched at most, so changes in the others show only when they are opened again.";
    if (kernelLimit.value > 0)
        notice += " That number is a quarter of the system's limit. " + raiseAdvice(kernelLimit.setting, 524288);
    return notice;
}

} // namespace dw::platform
