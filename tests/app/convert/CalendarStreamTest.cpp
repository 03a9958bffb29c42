// SPDX-License-Identifier: MIT
// Reading a calendar in pieces must give exactly what the rules give for the
// whole text, whatever the size of the pieces and of the lines.

#include "app/convert/CalendarConverter.h"
#include "app/convert/CalendarStream.h"
#include "tests/app/convert/CalendarSamples.h"
#include "tests/app/convert/PlainConversion.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

using namespace dw::convert;

namespace {

struct StringSink : CalendarSink {
    std::string out;
    std::size_t largestWrite = 0;
    int failWith = 0;
    int write(std::string_view bytes) override
    {
        if (failWith)
            return failWith;
        out += bytes;
        largestWrite = std::max(largestWrite, bytes.size());
        return 0;
    }
};

// Memory that fails to read at and past `failAt`, and notes the largest read.
struct WatchedSource : MemorySource {
    WatchedSource(std::string_view bytes, std::uint64_t failAt = ~0ull) : MemorySource(bytes), failAt_(failAt) {}
    std::int64_t readAt(char* into, std::size_t size, std::uint64_t offset) override
    {
        largestRead = std::max(largestRead, size);
        if (offset + size > failAt_)
            return -EIO;
        return MemorySource::readAt(into, size, offset);
    }
    std::size_t largestRead = 0;

private:
    std::uint64_t failAt_;
};

std::vector<std::string> samples()
{
    std::vector<std::string> texts = dw::test::sharedCaseTexts();
    for (unsigned seed = 1; seed <= 120; ++seed)
        texts.push_back(dw::test::trickyCalendarText(seed, 10 + seed % 90));
    return texts;
}

bool holdsNul(const std::string& text) { return text.find('\0') != std::string::npos; }

void expectSameAsTheRules(const std::string& text, std::size_t piece, std::uint64_t sizeHint)
{
    std::string expected;
    const bool modified = dw::test::plainConvert(text, expected);
    CalendarStream stream(piece);
    MemorySource source(text);
    StringSink sink;
    const StreamOutcome converted = stream.convert(source, sizeHint, sink);
    ASSERT_EQ(converted.verdict, modified ? CalendarVerdict::NeedsConversion : CalendarVerdict::UpToDate)
        << "piece " << piece << ", text " << testing::PrintToString(text.substr(0, 200));
    EXPECT_EQ(sink.out, modified ? expected : std::string()) << "piece " << piece;
    MemorySource again(text);
    EXPECT_EQ(stream.inspect(again, sizeHint).verdict, converted.verdict) << "piece " << piece;
}

TEST(CalendarStream, AnyPieceSizeGivesExactlyWhatTheRulesGive)
{
    for (const std::string& text : samples()) {
        if (holdsNul(text))
            continue;
        for (std::size_t piece : {16u, 17u, 23u, 64u, 65u, 700u, 4096u})
            expectSameAsTheRules(text, piece, text.size());
        // The size hint only spares memory: a file that grew or shrank since
        // is read to its real end.
        expectSameAsTheRules(text, CalendarStream::defaultPieceBytes, 0);
        expectSameAsTheRules(text, 64, text.size() / 2);
    }
}

// Calendars that hold one pair a line may be inserted between, or a near
// miss, moved across every place a piece can end: the quick screen for
// pairs must send each to the line-by-line scan exactly when the rules
// insert, and never let a near miss through as a pair or a pair as none.
std::vector<std::string> pairTexts()
{
    const std::vector<std::pair<std::string, std::string>> pairs = {
        {"<Events>", "\t<EVENTCOLOR>1"},       {"<eventicons>9", "<eventStyle>2 "},
        {"  <SatColor>3</SatColor>", "</DayColors>\t "}, {"<events> x", "<eventcolor>"},
        {"<eventcolor>", "<events>"},          {"<satcolor>", "</daycolors>x"},
        {"<eventicon>", "<eventstyle>"},       {"<events>", "x<eventcolor>"}};
    // What may stand between the two lines: one terminator, or an empty line.
    const std::vector<std::string> between = {"\r\n", "\n", "\r", "\n\r", "\r\r", "\n\n"};
    std::vector<std::string> texts;
    for (const auto& [first, second] : pairs)
        for (const std::string& end : between)
            for (std::size_t pad : {0u, 1u, 5u, 13u, 29u})
                for (const char* block : {"<weekcal>", "<monthcal>"})
                    texts.push_back("<datewright>\r\n<script>\r\n" + std::string(block) + "\n<events>\r\n"
                                    + (block[1] == 'm' ? "</events>\n" : "") + std::string(pad, 'p') + "\r\n" + first
                                    + end + second + (pad % 2 ? "\r\n<x>" : ""));
    return texts;
}

TEST(CalendarStream, PairsAreFoundWhereverAPieceEnds)
{
    for (const std::string& text : pairTexts())
        for (std::size_t piece = 16; piece <= 90; ++piece)
            expectSameAsTheRules(text, piece, text.size());
}

TEST(CalendarStream, APairWhoseLinesAreLongerThanAPieceIsFound)
{
    const std::string head = "<datewright>\r\n<script>\r\n<daycal>\r\n";
    const std::string pad(3000, ' ');
    const std::vector<std::string> texts = {
        head + "<events>" + pad + "\r\n<eventcolor>1\r\n",
        head + "<events>\r\n" + pad + "<eventcolor>" + pad + "x\r\n",
        head + "<eventicons>" + pad + "x\n" + pad + "<eventstyle>" + pad + "\n",
        head + "<events>" + pad + "\r\n\r\n<eventcolor>1\r\n", // an empty line between: no pair
    };
    for (const std::string& text : texts)
        for (std::size_t piece : {16u, 64u, 1000u, 2048u, 1u << 20})
            expectSameAsTheRules(text, piece, text.size());
}

TEST(CalendarStream, FastClassifierAgreesWithTheRulesOnEveryLine)
{
    for (const std::string& text : samples())
        for (std::string_view line : dw::test::plainLines(text))
            ASSERT_EQ(classifyLine(line), dw::test::plainTag(line)) << testing::PrintToString(std::string(line));
}

TEST(CalendarStream, KeysOfLinesLongerThanAPieceDecideAsShortOnesDo)
{
    const std::string head = "<datewright>\r\n<script>\r\n";
    const std::string pad(5000, ' ');
    const std::vector<std::string> texts = {
        // an "equals" tag whose blanks run on past several pieces
        head + "<monthcal>" + pad + "\t\r\n<daycolors>\r\n<satcolor>1" + pad + "x\r\n</daycolors>" + pad + "\r\n",
        // the key's thirteenth byte is a blank inside it: the key is longer than the tag
        head + pad + "<daycal> x\r\n<events>\r\n<eventcolor>\r\n",
        head + "<daycal>\r\n" + pad + "<events>" + pad + "\n<eventcolor>" + std::string(9000, 'c') + "\r",
        // a long line ending in a CR whose LF is the first byte of the next piece
        head + "<weekcal>\r\n<events>" + std::string(47, ' ') + "\r\n<eventcolor>\r\n",
        head + std::string(100000, '\t'),
    };
    for (const std::string& text : texts)
        for (std::size_t piece : {16u, 32u, 64u, 100u, 1u << 20})
            expectSameAsTheRules(text, piece, text.size());
}

TEST(CalendarStream, NulAnywhereMeansNoCalendarText)
{
    const std::string needs = "<datewright>\r\n<script>\r\n<daycal>\r\n<events>\r\n<eventcolor>\r\n";
    const std::string upToDate = "<datewright>\r\n<script>\r\n<daycal>\r\n<x>\r\n";
    const std::vector<std::string> texts = {std::string("\0", 1) + needs, needs + std::string(1000, 'x') + '\0',
                                            needs + std::string(3000, ' ') + std::string("\0\r\n", 3),
                                            upToDate + std::string("\0", 1), upToDate + std::string(50, 'y') + '\0' + upToDate};
    for (const std::string& text : texts)
        for (std::size_t piece : {16u, 64u, 1u << 20}) {
            CalendarStream stream(piece);
            MemorySource source(text);
            StringSink sink;
            EXPECT_EQ(stream.convert(source, text.size(), sink).verdict, CalendarVerdict::HoldsNul) << piece;
            MemorySource again(text);
            EXPECT_EQ(stream.inspect(again, text.size()).verdict, CalendarVerdict::HoldsNul) << piece;
        }
}

TEST(CalendarStream, FailuresToReadOrWriteAreReportedWithTheirCause)
{
    std::string text = "<datewright>\n<script>\n<monthcal>\n";
    while (text.size() < 10000)
        text += "<events>\n<eventcolor>1\n</events>\n";
    CalendarStream stream(64);
    WatchedSource failing(text, text.size() / 2);
    StringSink sink;
    const StreamOutcome unread = stream.convert(failing, text.size(), sink);
    EXPECT_EQ(unread.verdict, CalendarVerdict::ReadFailed);
    EXPECT_EQ(unread.error, EIO);
    MemorySource source(text);
    sink.failWith = ENOSPC;
    const StreamOutcome unwritten = stream.convert(source, text.size(), sink);
    EXPECT_EQ(unwritten.verdict, CalendarVerdict::WriteFailed);
    EXPECT_EQ(unwritten.error, ENOSPC);
}

TEST(CalendarStream, AStopRequestAbandonsALargeCalendarBetweenPieces)
{
    const std::string text = dw::test::trickyCalendarText(3, 3000);
    CalendarStream stream(256);
    int asked = 0;
    stream.stopRequested = [&] { return ++asked == 3; };
    MemorySource source(text);
    StringSink sink;
    EXPECT_EQ(stream.inspect(source, text.size()).verdict, CalendarVerdict::Stopped);
    EXPECT_EQ(asked, 3);
}

TEST(CalendarStream, NeverAsksForMoreThanAPieceWhateverTheCalendarSize)
{
    // Eight megabytes in one line and in many: reads and writes stay near
    // the piece size, so memory does not grow with the calendar.
    const std::string oneLine = "<datewright>\n<script>\n<daycal>\n<events>\n<eventcolor>" + std::string(8 << 20, 'z');
    std::string manyLines = "<datewright>\n<script>\n";
    while (manyLines.size() < (8u << 20))
        manyLines += "<weekcal>\n<events>\n<eventcolor>1\n<x>\n</events>\n</weekcal>\n";
    for (const std::string* text : {&oneLine, static_cast<const std::string*>(&manyLines)}) {
        CalendarStream stream(4096);
        WatchedSource source(*text);
        StringSink sink;
        ASSERT_EQ(stream.convert(source, text->size(), sink).verdict, CalendarVerdict::NeedsConversion);
        std::string expected;
        dw::test::plainConvert(*text, expected);
        EXPECT_TRUE(sink.out == expected);
        EXPECT_LE(source.largestRead, 2 * 4096u + 256);
        EXPECT_LE(sink.largestWrite, 2 * 4096u + 256);
    }
}

} // namespace
