// SPDX-License-Identifier: MIT
#pragma once
// Time stamps of shell items: the packed date-time of a last write (date in
// the high word: years since 1980 << 9 | month << 5 | day; time in the low
// word: hour << 11 | minute << 5 | seconds / 2), and the date-time number
// (days since 1899-12-30, the time of day as the fraction).

#include <cstdint>

// The local time of `secondsSinceEpoch`, packed; 0 outside 1980 to 2107.
std::uint32_t PackedFileDateFromUnixTime(std::int64_t secondsSinceEpoch);
// The date-time number of a packed date-time; 0 for 0 or an invalid one.
double DateTimeFromPackedFileDate(std::uint32_t fileDate);
// The date-time number of the local time of `secondsSinceEpoch`.
double DateTimeFromUnixTime(std::int64_t secondsSinceEpoch);
