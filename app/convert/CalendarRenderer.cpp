// SPDX-License-Identifier: MIT
#include "app/convert/CalendarRenderer.h"

#include "app/convert/LineWalk.h"

#include <cstring>

namespace dw::convert {

namespace {

std::size_t renderedSize(const ScanSummary& summary, const std::vector<Insertion>& insertions)
{
    std::size_t size = summary.lineBytes + 2 * summary.lines;
    for (const Insertion& insertion : insertions)
        size += insertedLineText(insertion.line).size() + 2;
    return size;
}

} // namespace

char* putLine(char* out, const char* begin, const char* end)
{
    const std::size_t size = std::size_t(end - begin);
    std::memcpy(out, begin, size);
    out += size;
    *out++ = '\r';
    *out++ = '\n';
    return out;
}

char* putInsertedLine(char* out, InsertedLine line)
{
    const std::string_view text = insertedLineText(line);
    return putLine(out, text.data(), text.data() + text.size());
}

void renderCalendar(std::string_view text, const ScanSummary& summary, const std::vector<Insertion>& insertions,
                    platform::ByteBuffer& out)
{
    out.resizeUninitialised(renderedSize(summary, insertions));
    char* cursor = out.data();
    auto next = insertions.begin();
    std::size_t index = 0;
    walkLines<false>(text.data(), text.data() + text.size(), true, [&](const char* begin, const char* end) {
        for (; next != insertions.end() && next->beforeLine == index; ++next)
            cursor = putInsertedLine(cursor, next->line);
        cursor = putLine(cursor, begin, end);
        ++index;
        return true;
    });
}

} // namespace dw::convert
