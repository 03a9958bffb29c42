#include "app/convert/CalendarScanner.h"

#include "app/convert/CalendarTag.h"
#include "app/convert/LineSplitter.h"

namespace dw::convert {

namespace {

// The six per-file flags. They are plain flags, not nesting counters: a
// closing tag clears its flag whatever else is open.
struct ScanState {
    bool rootSeen = false;
    bool scriptSeen = false;
    bool inDay = false;
    bool inWeek = false;
    bool inMonth = false;
    bool inEvents = false;

    bool inAnyCalendar() const { return inDay || inWeek || inMonth; }
};

// Applies a block tag; false when `tag` is none.
bool applyBlockTag(ScanState& state, CalendarTag tag)
{
    switch (tag) {
    case CalendarTag::DayOpen: state.inDay = true; return true;
    case CalendarTag::DayClose: state.inDay = false; return true;
    case CalendarTag::WeekOpen: state.inWeek = true; return true;
    case CalendarTag::WeekClose: state.inWeek = false; return true;
    case CalendarTag::MonthOpen: state.inMonth = true; return true;
    case CalendarTag::MonthClose: state.inMonth = false; return true;
    case CalendarTag::EventsOpen: state.inEvents = true; return true;
    case CalendarTag::EventsClose: state.inEvents = false; return true;
    default: return false;
    }
}

// Passes the two gates: the root line, then a script line after it.
bool passesGates(ScanState& state, CalendarTag tag)
{
    if (!state.rootSeen) {
        if (tag != CalendarTag::Root)
            return false;
        state.rootSeen = true;
    }
    if (!state.scriptSeen) {
        if (tag != CalendarTag::Script)
            return false;
        state.scriptSeen = true;
    }
    return true;
}

// The line to insert before a line with `current` after one with `previous`.
bool insertionFor(const ScanState& state, CalendarTag previous, CalendarTag current, InsertedLine& line)
{
    if (state.inEvents) {
        if (current == CalendarTag::EventColor && previous == CalendarTag::EventsOpen) {
            line = InsertedLine::EventAlign;
            return true;
        }
        if (current == CalendarTag::EventStyle && previous == CalendarTag::EventIcons) {
            line = InsertedLine::EventIconHeight;
            return true;
        }
        return false;
    }
    if (state.inMonth && current == CalendarTag::DayColorsClose && previous == CalendarTag::SatColor) {
        line = InsertedLine::UseEventColor;
        return true;
    }
    return false;
}

} // namespace

std::string_view insertedLineText(InsertedLine line)
{
    switch (line) {
    case InsertedLine::EventAlign: return "        <EventAlign>Middle</EventAlign>";
    case InsertedLine::EventIconHeight: return "        <EventIconHeight>2</EventIconHeight>";
    case InsertedLine::UseEventColor: return "        <UseEventColor>No</UseEventColor>";
    }
    return {};
}

ScanSummary scanCalendar(std::string_view text, std::vector<Insertion>& insertions)
{
    insertions.clear();
    ScanSummary summary;
    ScanState state;
    CalendarTag current = CalendarTag::Other; // the empty key matches no tag
    LineCursor cursor(text);
    for (std::string_view line; cursor.next(line); ++summary.lines) {
        summary.lineBytes += line.size();
        const CalendarTag previous = current;
        current = classifyLine(line);
        if (!passesGates(state, current) || applyBlockTag(state, current) || !state.inAnyCalendar())
            continue;
        InsertedLine inserted;
        if (insertionFor(state, previous, current, inserted))
            insertions.push_back({summary.lines, inserted});
    }
    return summary;
}

} // namespace dw::convert
