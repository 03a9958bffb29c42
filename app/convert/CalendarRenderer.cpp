#include "app/convert/CalendarRenderer.h"

#include <cstring>

namespace dw::convert {

namespace {

std::size_t renderedSize(const std::vector<LineSpan>& lines, const std::vector<Insertion>& insertions)
{
    std::size_t size = 0;
    for (const LineSpan& line : lines)
        size += line.length + 2;
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

void renderCalendar(std::string_view text, const std::vector<LineSpan>& lines,
                    const std::vector<Insertion>& insertions, platform::ByteBuffer& out)
{
    out.resizeUninitialised(renderedSize(lines, insertions));
    char* cursor = out.data();
    auto next = insertions.begin();
    for (std::size_t index = 0; index < lines.size(); ++index) {
        for (; next != insertions.end() && next->beforeLine == index; ++next)
            cursor = put(cursor, insertedLineText(next->line));
        cursor = put(cursor, lines[index].in(text));
    }
}

} // namespace dw::convert
