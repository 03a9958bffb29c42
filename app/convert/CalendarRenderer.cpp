#include "app/convert/CalendarRenderer.h"

#include "app/convert/LineSplitter.h"

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

char* put(char* out, std::string_view bytes)
{
    std::memcpy(out, bytes.data(), bytes.size());
    out += bytes.size();
    *out++ = '\r';
    *out++ = '\n';
    return out;
}

} // namespace

void renderCalendar(std::string_view text, const ScanSummary& summary, const std::vector<Insertion>& insertions,
                    platform::ByteBuffer& out)
{
    out.resizeUninitialised(renderedSize(summary, insertions));
    char* cursor = out.data();
    auto next = insertions.begin();
    LineCursor lines(text);
    std::string_view line;
    for (std::size_t index = 0; lines.next(line); ++index) {
        for (; next != insertions.end() && next->beforeLine == index; ++next)
            cursor = put(cursor, insertedLineText(next->line));
        cursor = put(cursor, line);
    }
}

} // namespace dw::convert
