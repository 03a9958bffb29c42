#pragma once
// Recognises the tag lines the conversion cares about.
//
// A line's key is the line in lower case (A-Z only) with every byte of value
// 32 or less trimmed from both ends. Every test the conversion makes on a key
// is one of the patterns below, and no key can match two of them, so each
// line is classified once and the scan compares small numbers instead of text.

#include <cstdint>
#include <string_view>

namespace dw::convert {

enum class CalendarTag : std::uint8_t {
    Other,
    Root,           // equals "<datewright>"
    Script,         // equals "<script>"
    DayOpen,        // equals "<daycal>"
    DayClose,       // equals "</daycal>"
    WeekOpen,       // equals "<weekcal>"
    WeekClose,      // equals "</weekcal>"
    MonthOpen,      // equals "<monthcal>"
    MonthClose,     // equals "</monthcal>"
    EventsOpen,     // equals "<events>"
    EventsClose,    // equals "</events>"
    DayColorsClose, // equals "</daycolors>"
    EventColor,     // starts with "<eventcolor>"
    EventStyle,     // starts with "<eventstyle>"
    EventIcons,     // starts with "<eventicons>"
    SatColor,       // starts with "<satcolor>"
};

// The key of a line without the case change: the line with its leading and
// trailing bytes of value 32 or less removed.
std::string_view trimmedKey(std::string_view line);

CalendarTag classifyLine(std::string_view line);

} // namespace dw::convert
