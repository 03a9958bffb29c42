#pragma once
// The state machine that finds where a calendar lacks the 2.20 property lines.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace dw::convert {

enum class InsertedLine : std::uint8_t { EventAlign, EventIconHeight, UseEventColor };

// The exact text of an inserted line, with its eight leading spaces.
std::string_view insertedLineText(InsertedLine line);

// One line to insert before the loaded line `beforeLine`.
struct Insertion {
    std::size_t beforeLine = 0;
    InsertedLine line = InsertedLine::EventAlign;
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
