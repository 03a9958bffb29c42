// SPDX-License-Identifier: MIT
#include "platform/changes/LiveUpdateNotice.h"

#include <map>
#include <mutex>

namespace dw::platform {
namespace {

struct Notices {
    std::mutex lock;
    std::map<LiveUpdateProblem, std::string> texts;
    std::function<void(const std::string&)> handler;
};

Notices& notices()
{
    static Notices instance;
    return instance;
}

} // namespace

bool ReportLiveUpdateProblem(LiveUpdateProblem problem, const std::string& text)
{
    std::function<void(const std::string&)> handler;
    {
        auto& all = notices();
        std::lock_guard guard(all.lock);
        if (!all.texts.emplace(problem, text).second)
            return false;
        handler = all.handler;
    }
    if (handler)
        handler(text);
    return true;
}

std::string LiveUpdateNotice()
{
    auto& all = notices();
    std::lock_guard guard(all.lock);
    std::string joined;
    for (const auto& [problem, text] : all.texts) {
        if (!joined.empty())
            joined += '\n';
        joined += text;
    }
    return joined;
}

void SetLiveUpdateNoticeHandler(std::function<void(const std::string&)> handler)
{
    auto& all = notices();
    std::lock_guard guard(all.lock);
    all.handler = std::move(handler);
}

void ClearLiveUpdateNotices()
{
    auto& all = notices();
    std::lock_guard guard(all.lock);
    all.texts.clear();
}

} // namespace dw::platform
