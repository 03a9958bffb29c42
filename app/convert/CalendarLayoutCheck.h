// SPDX-License-Identifier: MIT
#pragma once
// Tells, without changing anything, whether a calendar needs converting: for
// marking calendars already in the 2.20 layout. Safe to call from any thread,
// several at once; it never writes, never opens pipes or devices, leaves the
// access time alone where it may, and reads a large calendar in pieces.

#include <string>

namespace dw::convert {

enum class CalendarState {
    NeedsConversion,
    UpToDate,
    Unreadable, // cannot be read, or is no calendar text (a NUL byte, a folder, a pipe...)
};

CalendarState inspectCalendar(const std::string& path);

} // namespace dw::convert
