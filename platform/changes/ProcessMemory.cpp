// SPDX-License-Identifier: MIT
#include "platform/changes/ProcessMemory.h"

#include <fstream>
#include <string>

namespace dw::platform {
namespace {

std::uint64_t statusField(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, field.size(), field) == 0 && line.size() > field.size() && line[field.size()] == ':')
            return std::stoull(line.substr(field.size() + 1));
    }
    return 0;
}

} // namespace

std::uint64_t PeakResidentKiB()
{
    return statusField("VmHWM");
}

std::uint64_t CurrentResidentKiB()
{
    return statusField("VmRSS");
}

} // namespace dw::platform
