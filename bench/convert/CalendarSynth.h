#pragma once
// Makes calendar text of a given size for the benchmarks: month, week and day
// calendars with events and day colours, either in the old layout (every
// block needs its 2.20 lines) or already converted.

#include <cstddef>
#include <string>

namespace dw::bench {

enum class Layout { NeedsConversion, AlreadyConverted };

std::string synthesizeCalendar(std::size_t approximateBytes, Layout layout, unsigned seed);

} // namespace dw::bench
