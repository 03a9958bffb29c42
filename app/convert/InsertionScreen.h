// SPDX-License-Identifier: MIT
#pragma once
// A quick look at a calendar for what could call for a new line.
//
// Every line the conversion inserts goes between two lines that form a pair:
// "<events>" and an "<eventcolor>" line, an "<eventicons>" line and an
// "<eventstyle>" line, a "<satcolor>" line and "</daycolors>". A calendar
// without such a pair needs nothing, whatever its structure; most calendars
// a run meets are of that kind, and the screen tells them apart without
// classifying every line: it looks sixteen bytes at a time for the few
// places where the second line of a pair could start, and looks closer only
// there. The rare calendar that holds a pair is then scanned line by line.

#include "app/convert/CalendarTag.h"

#include <cstddef>

namespace dw::convert {

// The screen reads this many bytes past the end of the block it is given:
// the buffer must have them (their values do not matter).
inline constexpr std::size_t screenSlack = 64;

struct ScreenEnd {
    const char* rest = nullptr; // first byte not screened: the start of an unfinished line, or the end
    bool nul = false;           // a NUL byte lies before `rest`
    bool pair = false;          // a pair lies before `rest`: the calendar must be scanned line by line
};

// Screens the complete lines of [text, end), which starts at the start of a
// line; with `atEnd` nothing follows, so its last line is complete too (as
// walkLines counts lines). `previous` is the tag of the line before `text`
// (Other at the start of a calendar) and becomes the tag of the last line
// screened. Reads up to screenSlack bytes past `end`.
ScreenEnd screenLines(const char* text, const char* end, bool atEnd, CalendarTag& previous);

} // namespace dw::convert
