// SPDX-License-Identifier: MIT
#include "ModulePath.h"

#include <climits>
#include <dlfcn.h>
#include <link.h>
#include <unistd.h>
#include <vector>

namespace dw::platform {

std::string RunningModulePath()
{
    constexpr const char* kSelf = "/proc/self/exe";
    std::vector<char> buffer(PATH_MAX + 1);
    const ssize_t length = ::readlink(kSelf, buffer.data(), buffer.size() - 1);
    if (length <= 0 || std::size_t(length) >= buffer.size() - 1)
        return kSelf;
    std::string path(buffer.data(), std::size_t(length));
    constexpr std::string_view kDeleted = " (deleted)";
    if (path.ends_with(kDeleted) || ::access(path.c_str(), R_OK) != 0)
        return kSelf;
    return path;
}

std::string ModulePathOf(const void* address)
{
    Dl_info info{};
    link_map* map = nullptr;
    // The program's own entry in the link map has an empty name.
    if (::dladdr1(address, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0 || map == nullptr ||
        map->l_name == nullptr || map->l_name[0] == '\0' || ::access(map->l_name, R_OK) != 0)
        return RunningModulePath();
    return map->l_name;
}

} // namespace dw::platform
