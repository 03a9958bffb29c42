// SPDX-License-Identifier: MIT
#include "app/settings/DefaultCalendarDir.h"

#include "base/exceptions/SsFormat.h"
#include "platform/settings/RegistryStore.h"
#include "platform/settings/SettingsLocations.h"
#include "platform/settings/WineDrivePaths.h"
#include "platform/settings/WineRegistry.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace dw::app {

namespace {

using platform::RegistryValue;

// A string value as the program takes it: up to its first NUL.
std::string textOf(const RegistryValue& value, const char* name)
{
    if (!value.isString())
        throw ERegistryException(SsFormat("Invalid data type for '%s'", {name}));
    const std::string& text = value.text();
    return text.substr(0, text.find('\0'));
}

StartupArgument unusableValue(const std::string& value, const std::string& reason)
{
    return {StartupArgument::Kind::Invalid, {}, {},
            "Cannot open \"" + value + "\", the default calendar folder named by the setting "
                + defaultCalendarDirName + ": " + reason,
            {}};
}

} // namespace

SettingSources settingSourcesFromEnvironment()
{
    return {platform::userSettingsFilePath(), platform::winePrefixPath()};
}

std::string readDefaultCalendarDir(const SettingSources& sources)
{
    platform::RegistryStore store(sources.settingsFile);
    store.openKey(quillfenKey, true);
    if (const auto value = store.readValue(datewrightKey, defaultCalendarDirName))
        return textOf(*value, defaultCalendarDirName);
    if (sources.winePrefix.empty())
        return {};
    const auto wineValue =
        platform::readWineRegistryValue(sources.winePrefix + "/user.reg", datewrightKey, defaultCalendarDirName);
    if (!wineValue)
        return {};
    return platform::linuxPathOfWinePath(textOf(*wineValue, defaultCalendarDirName), sources.winePrefix);
}

StartupArgument examineDefaultCalendarDir(const std::string& value, const std::string& localPath)
{
    if (localPath.empty())
        return unusableValue(value, "a relative path names no folder");
    struct stat status {};
    if (::stat(localPath.c_str(), &status) != 0)
        return unusableValue(value, std::strerror(errno));
    if (!S_ISDIR(status.st_mode))
        return unusableValue(value, "it is not a folder");
    return {StartupArgument::Kind::Folder, value, {}, {}, {}};
}

} // namespace dw::app
