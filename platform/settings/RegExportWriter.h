// SPDX-License-Identifier: MIT
#pragma once
// Writes the registry's export text, line by line, as the parser reads it.

#include "platform/settings/RegistryValue.h"

#include <string>
#include <string_view>
#include <vector>

namespace dw::platform {

inline constexpr std::string_view regExportHeader = "Windows Registry Editor Version 5.00";

std::string regKeyLine(std::string_view key);

// The line or lines of `"name"=value` (long byte lists go on over several
// lines). Strings in byte lists are UTF-16LE with `wideStrings`, else 8-bit
// as the old "REGEDIT4" format has them. A string that holds a line break
// or a NUL cannot stand on one quoted line and is written as its bytes,
// hex(1), instead.
std::vector<std::string> regValueLines(std::string_view name, const RegistryValue& value, bool wideStrings);

} // namespace dw::platform
