// SPDX-License-Identifier: MIT
#pragma once
// The state machine that finds where a calendar lacks the 2.20 property lines.

#include "app/convert/CalendarTag.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace dw::convert {

enum class InsertedLine : std::uint8_t { EventAlign, EventIconHeight, UseEventColor };

// The exact text of an inserted line, with its eight leading spaces.
std::string_view insertedLineText(InsertedLine line);

// True when `current` following `previous` is one of the pairs a line may be
// inserted between; whether it is depends on the blocks around them. Every
// insertion needs such a pair, which lets a calendar without one be passed
// over quickly (InsertionScreen.h).
constexpr bool formsInsertionPair(CalendarTag previous, CalendarTag current)
{
    return (current == CalendarTag::EventColor && previous == CalendarTag::EventsOpen)
        || (current == CalendarTag::EventStyle && previous == CalendarTag::EventIcons)
        || (current == CalendarTag::DayColorsClose && previous == CalendarTag::SatColor);
}

// One line to insert before the loaded line `beforeLine`.
struct Insertion {
    std::size_t beforeLine = 0;
    InsertedLine line = InsertedLine::EventAlign;
};

// The per-file state: six plain flags (a closing tag clears its flag whatever
// else is open) and the tag of the line examined last.
class CalendarScanState {
public:
    // Examines the next line, whose tag is `current`; true when a line must be
    // inserted before it, and then `inserted` says which.
    bool examine(CalendarTag current, InsertedLine& inserted)
    {
        const CalendarTag previous = previous_;
        previous_ = current;
        // Most lines are no tag at all: they change nothing but the previous tag.
        return current != CalendarTag::Other && examineTag(previous, current, inserted);
    }

private:
    bool examineTag(CalendarTag previous, CalendarTag current, InsertedLine& inserted);
    bool passesGates(CalendarTag current);
    bool applyBlockTag(CalendarTag current);

    bool rootSeen_ = false;
    bool scriptSeen_ = false;
    bool inDay_ = false;
    bool inWeek_ = false;
    bool inMonth_ = false;
    bool inEvents_ = false;
    CalendarTag previous_ = CalendarTag::Other; // the empty key of "no line yet" matches no tag
};

// What a scan saw of the text, enough to lay out the converted calendar.
struct ScanSummary {
    std::size_t lines = 0;     // lines of the text
    std::size_t lineBytes = 0; // their bytes, terminators not counted
};

// Scans the lines of one file, each once and in order, and puts the
// insertions they call for into `insertions` (cleared first), in line order.
// Inserted lines are never examined and never become the previous line.
ScanSummary scanCalendar(std::string_view text, std::vector<Insertion>& insertions);

} // namespace dw::convert
