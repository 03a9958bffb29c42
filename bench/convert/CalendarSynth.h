// SPDX-License-Identifier: MIT
#pragma once
// Makes calendar text of a given size for the benchmarks: month, week and day
// calendars with events and day colours, either in the old layout (every
// block needs its 2.20 lines) or already converted.

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>

namespace dw::bench {

enum class Layout { NeedsConversion, AlreadyConverted };

// Hands out a calendar a block at a time, so that one of any size can be
// written without holding it.
class CalendarSynth {
public:
    CalendarSynth(Layout layout, unsigned seed);
    std::string head() const;
    // One month, week or day calendar.
    std::string nextBlock();
    std::string tail() const;

private:
    Layout layout_;
    std::mt19937 random_;
};

std::string synthesizeCalendar(std::size_t approximateBytes, Layout layout, unsigned seed);

// Writes a calendar of about `approximateBytes` to `path`; false on failure.
bool writeCalendarFile(const std::string& path, std::uint64_t approximateBytes, Layout layout, unsigned seed);

} // namespace dw::bench
