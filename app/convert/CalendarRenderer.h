#pragma once
// Lays out a converted calendar: every line, inserted ones included, followed
// by CR LF. Each byte is copied once, straight into the output buffer.

#include "app/convert/CalendarScanner.h"
#include "platform/files/ByteBuffer.h"

#include <string_view>
#include <vector>

namespace dw::convert {

// `summary` is what the scan of `text` found.
void renderCalendar(std::string_view text, const ScanSummary& summary, const std::vector<Insertion>& insertions,
                    platform::ByteBuffer& out);

} // namespace dw::convert
