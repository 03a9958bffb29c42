// SPDX-License-Identifier: MIT
#include "platform/settings/SettingsLocations.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace dw::platform {

namespace {

std::string absoluteOrEmpty(const char* value)
{
    return value && value[0] == '/' ? std::string(value) : std::string();
}

std::string accountHome()
{
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(std::size_t(size > 0 ? size : 16384));
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return "/";
    return absoluteOrEmpty(found->pw_dir).empty() ? "/" : found->pw_dir;
}

} // namespace

const EnvironmentLookup& processEnvironment()
{
    static const EnvironmentLookup lookup = [](const char* name) -> const char* { return std::getenv(name); };
    return lookup;
}

std::string homeFolder(const EnvironmentLookup& environment)
{
    std::string home = absoluteOrEmpty(environment("HOME"));
    return home.empty() ? accountHome() : home;
}

std::string userSettingsFilePath(const EnvironmentLookup& environment)
{
    std::string config = absoluteOrEmpty(environment("XDG_CONFIG_HOME"));
    if (config.empty())
        config = homeFolder(environment) + "/.config";
    return config + "/datewright-converter/current-user.reg";
}

std::string winePrefixPath(const EnvironmentLookup& environment)
{
    std::string prefix = absoluteOrEmpty(environment("WINEPREFIX"));
    return prefix.empty() ? homeFolder(environment) + "/.wine" : prefix;
}

} // namespace dw::platform
