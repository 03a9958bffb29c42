// SPDX-License-Identifier: MIT
#include "app/convert/LineWalk.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using dw::convert::walkLines;
using dw::convert::WalkEnd;

namespace {

using Lines = std::vector<std::string>;

struct Walked {
    Lines lines;
    WalkEnd end;
    std::size_t restAt = 0; // where the walk left off
};

template <bool nulEndsText = false>
Walked walk(const std::string& text, bool atEnd = true, std::size_t stopAfter = 1000)
{
    Walked walked;
    walked.end = walkLines<nulEndsText>(text.data(), text.data() + text.size(), atEnd, [&](const char* b, const char* e) {
        walked.lines.emplace_back(b, e);
        return walked.lines.size() < stopAfter;
    });
    walked.restAt = std::size_t(walked.end.rest - text.data());
    return walked;
}

TEST(LineWalk, EveryTerminatorKindEndsALineAndLfCrIsTwo)
{
    EXPECT_EQ(walk("a\r\nb\rc\nd").lines, (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(walk("a\n\rb").lines, (Lines{"a", "", "b"}));
}

TEST(LineWalk, FinalTerminatorAddsNoEmptyLineAndEmptyTextHasNone)
{
    EXPECT_EQ(walk("a\r\n").lines, (Lines{"a"}));
    EXPECT_EQ(walk("a\r").lines, (Lines{"a"}));
    EXPECT_EQ(walk("a\n\n").lines, (Lines{"a", ""}));
    EXPECT_TRUE(walk("").lines.empty());
    EXPECT_EQ(walk("\r\n").lines, (Lines{""}));
    EXPECT_EQ(walk("\r\r").lines, (Lines{"", ""}));
}

TEST(LineWalk, TerminatorsOnEitherSideOfTheSixtyFourByteBlocks)
{
    // A CR as byte 63 with its LF as byte 64, and lines spanning blocks.
    for (std::size_t before : {62u, 63u, 64u, 127u}) {
        const std::string first(before, 'x');
        const std::string second(70, 'y');
        EXPECT_EQ(walk(first + "\r\n" + second + "\r\n" + "z").lines, (Lines{first, second, "z"})) << before;
        EXPECT_EQ(walk(first + "\n\r" + second).lines, (Lines{first, "", second})) << before;
    }
}

TEST(LineWalk, AnUnfinishedBlockKeepsItsLastLineAndATrailingCr)
{
    // Without the end of the text, neither a last line nor a final CR
    // (whose LF may come next) is complete.
    const Walked open = walk("a\r\nbc", false);
    EXPECT_EQ(open.lines, (Lines{"a"}));
    EXPECT_EQ(open.restAt, 3u);
    const Walked cr = walk(std::string(100, 'q') + "\nlast\r", false);
    EXPECT_EQ(cr.lines.size(), 1u);
    EXPECT_EQ(cr.restAt, 101u);
}

TEST(LineWalk, NulEndsTheWalkOnlyWhenAsked)
{
    const std::string text("ab\r\ncd\0ef\r\ngh", 13);
    EXPECT_EQ(walk(text).lines, (Lines{"ab", std::string("cd\0ef", 5), "gh"}));
    const Walked stopped = walk<true>(text);
    EXPECT_TRUE(stopped.end.nul);
    EXPECT_EQ(stopped.lines, (Lines{"ab"}));
    EXPECT_EQ(stopped.restAt, 6u);
}

TEST(LineWalk, TheCallerMayStopAfterAnyLine)
{
    const Walked stopped = walk("a\r\nb\r\nc", true, 2);
    EXPECT_TRUE(stopped.end.stopped);
    EXPECT_EQ(stopped.lines, (Lines{"a", "b"}));
    EXPECT_EQ(stopped.restAt, 6u) << "the rest starts at the line after the last one walked";
}

} // namespace
