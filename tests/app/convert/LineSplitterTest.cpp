#include "app/convert/LineSplitter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using dw::convert::LineSpan;
using dw::convert::splitLines;

namespace {

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<LineSpan> spans;
    splitLines(text, spans);
    std::vector<std::string> lines;
    for (const LineSpan& span : spans)
        lines.emplace_back(span.in(text));
    return lines;
}

using Lines = std::vector<std::string>;

TEST(LineSplitter, EveryTerminatorKindEndsALine)
{
    EXPECT_EQ(linesOf("a\r\nb\rc\nd"), (Lines{"a", "b", "c", "d"}));
}

TEST(LineSplitter, LfThenCrIsTwoTerminators)
{
    EXPECT_EQ(linesOf("a\n\rb"), (Lines{"a", "", "b"}));
}

TEST(LineSplitter, FinalTerminatorAddsNoEmptyLine)
{
    EXPECT_EQ(linesOf("a\r\n"), (Lines{"a"}));
    EXPECT_EQ(linesOf("a\r"), (Lines{"a"}));
    EXPECT_EQ(linesOf("a\n\n"), (Lines{"a", ""}));
}

TEST(LineSplitter, EmptyTextHasNoLinesButALoneTerminatorHasOne)
{
    EXPECT_TRUE(linesOf("").empty());
    EXPECT_EQ(linesOf("\r\n"), (Lines{""}));
    EXPECT_EQ(linesOf("\r\r"), (Lines{"", ""}));
}

TEST(LineSplitter, LongLinesAcrossTheSixteenByteBlocks)
{
    const std::string longLine(37, 'x');
    const std::string text = longLine + "\r\n" + std::string(16, 'y') + "\n" + longLine;
    EXPECT_EQ(linesOf(text), (Lines{longLine, std::string(16, 'y'), longLine}));
}

TEST(LineSplitter, ReusedListIsReplacedNotAppended)
{
    std::vector<LineSpan> spans;
    splitLines("a\nb\nc", spans);
    splitLines("z", spans);
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_EQ(spans[0].length, 1u);
}

} // namespace
