// SPDX-License-Identifier: MIT
#pragma once
// Key paths of the settings store: backslash-separated, compared without
// regard to the case of ASCII letters, as the registry compares them.

#include <string>
#include <string_view>

namespace dw::platform {

// The path with the current user's root ("HKEY_CURRENT_USER\" or "HKCU\"),
// which an export may carry, taken off, and surrounding backslashes dropped.
std::string keyPathInUserBranch(std::string_view written);

// The form two paths (or two value names) are compared in.
std::string foldedName(std::string_view name);

// True when `text` starts with `foldedPrefix` in any case of ASCII letters.
bool startsWithFolded(std::string_view text, std::string_view foldedPrefix);

// True when `key` is `ancestor` or lies below it; both folded.
bool isSameOrBelow(std::string_view key, std::string_view ancestor);

} // namespace dw::platform
