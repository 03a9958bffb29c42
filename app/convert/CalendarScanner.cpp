// SPDX-License-Identifier: MIT
#include "app/convert/CalendarScanner.h"

#include "app/convert/LineWalk.h"

namespace dw::convert {

std::string_view insertedLineText(InsertedLine line)
{
    switch (line) {
    case InsertedLine::EventAlign: return "        <EventAlign>Middle</EventAlign>";
    case InsertedLine::EventIconHeight: return "        <EventIconHeight>2</EventIconHeight>";
    case InsertedLine::UseEventColor: return "        <UseEventColor>No</UseEventColor>";
    }
    return {};
}

// The root line, then a script line after it, open the file to examination.
bool CalendarScanState::passesGates(CalendarTag current)
{
    if (!rootSeen_) {
        if (current != CalendarTag::Root)
            return false;
        rootSeen_ = true;
    }
    if (!scriptSeen_) {
        if (current != CalendarTag::Script)
            return false;
        scriptSeen_ = true;
    }
    return true;
}

// Applies a block tag; false when `current` is none.
bool CalendarScanState::applyBlockTag(CalendarTag current)
{
    switch (current) {
    case CalendarTag::DayOpen: inDay_ = true; return true;
    case CalendarTag::DayClose: inDay_ = false; return true;
    case CalendarTag::WeekOpen: inWeek_ = true; return true;
    case CalendarTag::WeekClose: inWeek_ = false; return true;
    case CalendarTag::MonthOpen: inMonth_ = true; return true;
    case CalendarTag::MonthClose: inMonth_ = false; return true;
    case CalendarTag::EventsOpen: inEvents_ = true; return true;
    case CalendarTag::EventsClose: inEvents_ = false; return true;
    default: return false;
    }
}

bool CalendarScanState::examineTag(CalendarTag previous, CalendarTag current, InsertedLine& inserted)
{
    if (!passesGates(current) || applyBlockTag(current) || !(inDay_ || inWeek_ || inMonth_))
        return false;
    if (!formsInsertionPair(previous, current))
        return false;
    switch (current) {
    case CalendarTag::EventColor: inserted = InsertedLine::EventAlign; return inEvents_;
    case CalendarTag::EventStyle: inserted = InsertedLine::EventIconHeight; return inEvents_;
    default: inserted = InsertedLine::UseEventColor; return !inEvents_ && inMonth_;
    }
}

ScanSummary scanCalendar(std::string_view text, std::vector<Insertion>& insertions)
{
    insertions.clear();
    ScanSummary summary;
    CalendarScanState state;
    walkLines<false>(text.data(), text.data() + text.size(), true, [&](const char* begin, const char* end) {
        summary.lineBytes += std::size_t(end - begin);
        InsertedLine inserted;
        if (state.examine(classifyLine(begin, end), inserted))
            insertions.push_back({summary.lines, inserted});
        ++summary.lines;
        return true;
    });
    return summary;
}

} // namespace dw::convert
