// SPDX-License-Identifier: MIT
#pragma once
// Which entries of a folder are calendars, and the folder path the list and
// the conversion share.

#include "platform/listing/ChildRecord.h"

#include <optional>
#include <string>
#include <string_view>

namespace dw::window {

// A name the list takes: it ends in ".dw2", in any case (".dw2" alone too,
// as the pattern "*.dw2" matches it).
bool hasCalendarExtension(std::string_view name);

// The entry's own name, exact bytes, when it is a calendar: a plain file (a
// link counts as what it leads to) with a calendar name. Folders, named
// pipes, sockets and devices are never calendars, whatever their name.
std::optional<std::string> calendarNameOf(const platform::ChildRecord& record);

// `path` with one trailing "/": "/" stays "/", "//SERVER/SHARE" becomes
// "//SERVER/SHARE/".
std::string withTrailingDelimiter(std::string path);

// What follows the last "/" of a path.
std::string_view lastComponent(std::string_view path);

} // namespace dw::window
