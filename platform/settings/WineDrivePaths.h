// SPDX-License-Identifier: MIT
#pragma once
// Windows paths of a Wine prefix as the Linux paths they stand for.

#include <string>
#include <string_view>

namespace dw::platform {

// "C:\Users\ann\Calendars" becomes the target of the prefix's
// "dosdevices/c:" link followed by "/Users/ann/Calendars" (the link "z:" is
// usually "/"). Case is kept as stored. A path without a drive letter, or
// whose drive has no link, is answered as stored.
std::string linuxPathOfWinePath(std::string_view windowsPath, const std::string& winePrefix);

} // namespace dw::platform
