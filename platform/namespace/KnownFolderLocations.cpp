// SPDX-License-Identifier: MIT
#include "platform/namespace/KnownFolderLocations.h"

#include "platform/namespace/NamespaceEnvironment.h"
#include "platform/namespace/ShellTypes.h"

#include <QFile>
#include <QStandardPaths>

namespace dw::platform {

namespace {

std::string location(QStandardPaths::StandardLocation which)
{
    return QFile::encodeName(QStandardPaths::writableLocation(which)).toStdString();
}

SpecialFolder atPath(std::string path)
{
    return path.empty() ? SpecialFolder{} : SpecialFolder{SpecialFolderKind::Path, std::move(path)};
}

std::string dataHome()
{
    return location(QStandardPaths::GenericDataLocation);
}

} // namespace

SpecialFolder specialFolderFor(int csidl)
{
    switch (csidl) {
    case CSIDL_DESKTOP:
        return {SpecialFolderKind::Desktop, {}};
    case CSIDL_DRIVES:
        return {SpecialFolderKind::Computer, {}};
    case CSIDL_NETWORK:
        return {SpecialFolderKind::Network, {}};
    case CSIDL_BITBUCKET:
        return {SpecialFolderKind::Trash, {}};
    case CSIDL_PERSONAL:
        return atPath(location(QStandardPaths::DocumentsLocation));
    case CSIDL_DESKTOPDIRECTORY:
        return atPath(location(QStandardPaths::DesktopLocation));
    case CSIDL_TEMPLATES:
        return atPath(xdgUserDir("TEMPLATES", "Templates"));
    case CSIDL_APPDATA:
        return atPath(dataHome());
    case CSIDL_FONTS:
        return atPath(location(QStandardPaths::FontsLocation));
    case CSIDL_STARTUP:
        return atPath(location(QStandardPaths::GenericConfigLocation) + "/autostart");
    case CSIDL_COMMON_STARTUP:
        return atPath("/etc/xdg/autostart");
    case CSIDL_PROGRAMS:
    case CSIDL_STARTMENU:
        return atPath(location(QStandardPaths::ApplicationsLocation));
    case CSIDL_COMMON_PROGRAMS:
    case CSIDL_COMMON_STARTMENU:
        return atPath("/usr/share/applications");
    case CSIDL_RECENT:
        return atPath(dataHome() + "/RecentDocuments");
    case CSIDL_SENDTO:
        return atPath(dataHome() + "/nautilus/scripts");
    case CSIDL_INTERNET_CACHE:
        return atPath(location(QStandardPaths::GenericCacheLocation));
    default:
        // Internet, Controls, Printers, Favorites, NetHood, PrintHood,
        // Cookies, History, Connections, the common desktop and favorites,
        // the alternative startup folders: nothing on Linux stands for them.
        return {};
    }
}

} // namespace dw::platform
