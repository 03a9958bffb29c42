// SPDX-License-Identifier: MIT
#pragma once
// Registered clipboard formats: a process-wide table giving each format name
// a number from 0xC000 upward, the same number for the same name whatever
// its letter case. Data of a registered format travels through Qt's
// clipboard and drag and drop under the MIME type ClipboardFormatMimeType().

#include <string>
#include <string_view>

namespace dw::platform {

inline constexpr std::string_view kShellIdListArrayFormatName = "Shell IDList Array";
inline constexpr unsigned kFirstRegisteredFormat = 0xC000;
inline constexpr unsigned kLastRegisteredFormat = 0xFFFF;

// The number of the format `name`, registering it when new; 0 for an empty
// name or when all numbers are taken.
unsigned RegisterClipboardFormat(std::string_view name);

// The name registered for `format`; empty for numbers never handed out.
std::string GetClipboardFormatName(unsigned format);

// The MIME type that carries data of a registered format:
// application/x-dw-clipboard-format;value="<name>" (quotes and backslashes in
// the name escaped); empty for numbers never handed out.
std::string ClipboardFormatMimeType(unsigned format);

} // namespace dw::platform
