// SPDX-License-Identifier: MIT
#pragma once
// Lays out a converted calendar: every line, inserted ones included, followed
// by CR LF. Each byte is copied once, straight into the output buffer.

#include "app/convert/CalendarScanner.h"
#include "platform/files/ByteBuffer.h"

#include <string_view>
#include <vector>

namespace dw::convert {

// The longest a line grows when it is put out: an inserted line before it and
// CR LF after both.
inline constexpr std::size_t lineGrowth = 64;

// Puts [begin, end) and CR LF at `out`; answers the byte after them.
char* putLine(char* out, const char* begin, const char* end);
char* putInsertedLine(char* out, InsertedLine line);

// `summary` is what the scan of `text` found.
void renderCalendar(std::string_view text, const ScanSummary& summary, const std::vector<Insertion>& insertions,
                    platform::ByteBuffer& out);

} // namespace dw::convert
