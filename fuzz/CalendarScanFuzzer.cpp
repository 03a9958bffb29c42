// SPDX-License-Identifier: MIT
// libFuzzer target over the line walk, the scan and the piecewise reading.
//
// For any bytes: the converter gives exactly what the plain rules give;
// removing the inserted lines from the output gives back the input's lines;
// the output ends in CR LF; converting the output again inserts nothing; and
// reading the bytes in pieces of any size gives the same output and the same
// verdict when only inspected, or says the text holds a NUL byte.

#include "app/convert/CalendarConverter.h"
#include "app/convert/CalendarStream.h"
#include "tests/app/convert/PlainConversion.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using namespace dw::convert;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

struct StringSink : CalendarSink {
    std::string out;
    int write(std::string_view bytes) override
    {
        out += bytes;
        return 0;
    }
};

void checkAgainstThePlainRules(std::string_view input, const CalendarConverter& converter, bool modified)
{
    std::string plain;
    check(dw::test::plainConvert(input, plain) == modified);
    if (modified)
        check(converter.output() == plain);
}

void checkInsertionsOnly(std::string_view input, const CalendarConverter& converter)
{
    const std::string output(converter.output());
    const std::vector<std::string_view> before = dw::test::plainLines(input);
    const std::vector<std::string_view> after = dw::test::plainLines(output);
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
}

// The piece size comes from the input, so that every size gets tried.
void checkInPieces(std::string_view input, const CalendarConverter& converter, bool modified)
{
    const std::size_t piece = CalendarStream::smallestPieceBytes + (input.empty() ? 0 : std::uint8_t(input[0]) % 97);
    CalendarStream stream(piece);
    MemorySource source(input);
    StringSink sink;
    const CalendarVerdict verdict = stream.convert(source, input.size(), sink).verdict;
    if (input.find('\0') != std::string_view::npos) {
        check(verdict == CalendarVerdict::HoldsNul);
        return;
    }
    check(verdict == (modified ? CalendarVerdict::NeedsConversion : CalendarVerdict::UpToDate));
    check(sink.out == (modified ? converter.output() : std::string_view()));
    // Inspecting, which only screens a calendar until a pair turns up, says the same.
    MemorySource again(input);
    check(stream.inspect(again, input.size()).verdict == verdict);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    CalendarConverter converter;
    const bool modified = converter.convert(input);
    checkAgainstThePlainRules(input, converter, modified);
    checkInPieces(input, converter, modified);
    if (modified)
        checkInsertionsOnly(input, converter);
    return 0;
}
