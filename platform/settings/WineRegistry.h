// SPDX-License-Identifier: MIT
#pragma once
// Reads one value from a Wine prefix's registry file (user.reg), where
// Windows programs run under Wine keep their settings. Only reads: the
// prefix belongs to Wine.
//
//   WINE REGISTRY Version 2
//   [Software\\Quillfen\\Datewright 2] 1700000000
//   #time=1da0c6f2b8e4a10
//   "DefaultCalendarDir"="C:\\Users\\ann\\Calendars"
//   "Template"=str(2):"%USERPROFILE%\\Calendars"
//
// Key paths are relative to the user's root, with their backslashes doubled;
// texts use C escapes (\n, \x00e9, \0, ...). Lines it cannot read are passed
// over, as Wine itself does.

#include "platform/settings/RegistryValue.h"

#include <optional>
#include <string>
#include <string_view>

namespace dw::platform {

// Nothing when the file is missing or unreadable, is no Wine registry, or
// lacks the key or the value.
std::optional<RegistryValue> readWineRegistryValue(const std::string& userRegPath, std::string_view key,
                                                   std::string_view name);

// The value of the same shape parsed from the file's text (for tests).
std::optional<RegistryValue> findWineRegistryValue(std::string_view fileText, std::string_view key,
                                                   std::string_view name);

} // namespace dw::platform
