// SPDX-License-Identifier: MIT
#include "platform/settings/WineDrivePaths.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace dw::platform {

namespace {

bool startsWithDrive(std::string_view path)
{
    const bool letter = !path.empty() && std::isalpha(static_cast<unsigned char>(path[0]));
    return letter && path.size() >= 2 && path[1] == ':'
        && (path.size() == 2 || path[2] == '\\' || path[2] == '/');
}

// Where the drive's link points, made absolute; "" when there is no link.
std::string driveTarget(char letter, const std::string& winePrefix)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path dosdevices = fs::path(winePrefix) / "dosdevices";
    const char name[] = {char(std::tolower(static_cast<unsigned char>(letter))), ':', '\0'};
    const fs::path target = fs::read_symlink(dosdevices / name, error);
    if (error || target.empty())
        return {};
    if (target.is_absolute())
        return target.lexically_normal().string();
    // Relative links ("../drive_c") are read from the folder the link is
    // in, which may itself be reached through links.
    const fs::path base = fs::canonical(dosdevices, error);
    return error ? std::string() : (base / target).lexically_normal().string();
}

} // namespace

std::string linuxPathOfWinePath(std::string_view windowsPath, const std::string& winePrefix)
{
    if (!startsWithDrive(windowsPath))
        return std::string(windowsPath);
    std::string base = driveTarget(windowsPath[0], winePrefix);
    if (base.empty())
        return std::string(windowsPath);
    while (!base.empty() && base.back() == '/')
        base.pop_back();
    std::string rest(windowsPath.substr(2));
    std::replace(rest.begin(), rest.end(), '\\', '/');
    const std::string path = base + rest;
    return path.empty() ? "/" : path;
}

} // namespace dw::platform
