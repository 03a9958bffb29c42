// SPDX-License-Identifier: MIT
#pragma once
// The conversion exactly as its rules read, with no thought for speed: the
// yardstick the fast scan is held against, in tests and in the fuzz target.

#include "app/convert/CalendarTag.h"

#include <string>
#include <string_view>
#include <vector>

namespace dw::test {

// The lines of `text`: CR LF, CR and LF end a line; LF CR is two ends; a
// last line needs no terminator; a final terminator adds no empty line.
std::vector<std::string_view> plainLines(std::string_view text);

// The line in lower case (A-Z only), trimmed of bytes 32 and below.
std::string plainKey(std::string_view line);

// The tag the rules give the key of `line`.
convert::CalendarTag plainTag(std::string_view line);

// True when lines are inserted; `out` is then the converted text, every line
// ended with CR LF.
bool plainConvert(std::string_view text, std::string& out);

} // namespace dw::test
