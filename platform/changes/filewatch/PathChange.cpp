// SPDX-License-Identifier: MIT
#include "platform/changes/filewatch/PathChange.h"

namespace dw::platform {

std::string childPath(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + '/' + name;
}

std::string parentPath(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos || path == "/")
        return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string lastComponent(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool isBelow(const std::string& folder, const std::string& path)
{
    if (folder == "/")
        return path.size() > 1 && path.front() == '/';
    return path.size() > folder.size() + 1 && path.compare(0, folder.size(), folder) == 0
        && path[folder.size()] == '/';
}

} // namespace dw::platform
