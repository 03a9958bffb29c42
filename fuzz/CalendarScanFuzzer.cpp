// libFuzzer target over the line splitting and the scan.
//
// For any bytes: removing the inserted lines from the output gives back the
// input's lines, and converting the output again inserts nothing.

#include "app/convert/CalendarConverter.h"
#include "app/convert/LineSplitter.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using namespace dw::convert;

namespace {

std::vector<std::string_view> linesOf(std::string_view text)
{
    std::vector<LineSpan> spans;
    splitLines(text, spans);
    std::vector<std::string_view> lines;
    for (const LineSpan& span : spans)
        lines.push_back(span.in(text));
    return lines;
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    CalendarConverter converter;
    if (!converter.convert(input))
        return 0;
    const std::string output(converter.output());
    const std::vector<std::string_view> before = linesOf(input);
    const std::vector<std::string_view> after = linesOf(output);
    const std::vector<Insertion> insertions = converter.insertions();
    check(after.size() == before.size() + insertions.size());

    std::vector<std::string_view> withoutInserted;
    std::size_t next = 0;
    for (std::size_t i = 0; i < after.size(); ++i) {
        const std::size_t originalIndex = withoutInserted.size();
        if (next < insertions.size() && insertions[next].beforeLine == originalIndex
            && after[i] == insertedLineText(insertions[next].line)) {
            ++next;
            continue;
        }
        withoutInserted.push_back(after[i]);
    }
    check(next == insertions.size());
    check(withoutInserted == before);
    check(output.size() >= 2 && output.compare(output.size() - 2, 2, "\r\n") == 0);

    CalendarConverter again;
    check(!again.convert(output));
    return 0;
}
