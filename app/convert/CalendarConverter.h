// SPDX-License-Identifier: MIT
#pragma once
// Converts the text of one calendar in memory. Its buffers are kept from
// call to call, so converting many files allocates only while they grow.

#include "app/convert/CalendarScanner.h"
#include "platform/files/ByteBuffer.h"

#include <string_view>
#include <vector>

namespace dw::convert {

class CalendarConverter {
public:
    // Scans `text`; true when lines were inserted, and then output() holds the
    // converted calendar (valid until the next call).
    bool convert(std::string_view text);

    std::string_view output() const { return output_.view(); }
    const std::vector<Insertion>& insertions() const { return insertions_; }
    // Lines of the text last converted.
    std::size_t lineCount() const { return summary_.lines; }

private:
    ScanSummary summary_;
    std::vector<Insertion> insertions_;
    platform::ByteBuffer output_;
};

} // namespace dw::convert
