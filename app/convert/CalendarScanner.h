#pragma once
// The state machine that finds where a calendar lacks the 2.20 property lines.

#include "app/convert/LineSplitter.h"

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

// Scans the loaded lines of one file, each once and in order, and appends
// the insertions they call for to `insertions` (cleared first), in line order.
// Inserted lines are never examined and never become the previous line.
void scanCalendar(std::string_view text, const std::vector<LineSpan>& lines,
                  std::vector<Insertion>& insertions);

} // namespace dw::convert
