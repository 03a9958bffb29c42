// SPDX-License-Identifier: MIT
#include "app/convert/CalendarConverter.h"
#include "app/convert/CalendarTag.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace dw::convert;

namespace {

const std::string align = "        <EventAlign>Middle</EventAlign>";
const std::string iconHeight = "        <EventIconHeight>2</EventIconHeight>";
const std::string useColor = "        <UseEventColor>No</UseEventColor>";

std::string crlf(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return text;
}

// Converts and answers the output, or the input unchanged when nothing was inserted.
std::string converted(const std::string& text)
{
    CalendarConverter converter;
    return converter.convert(text) ? std::string(converter.output()) : text;
}

std::vector<std::string> header() { return {"<datewright>", "<script>"}; }

std::vector<std::string> with(std::vector<std::string> head, const std::vector<std::string>& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

TEST(CalendarTag, KeysAreLoweredAsciiAndTrimmedOfControlBytes)
{
    EXPECT_EQ(classifyLine(" \t<DateWright>\x1f"), CalendarTag::Root);
    EXPECT_EQ(classifyLine("<eventCOLOR>red</eventcolor>"), CalendarTag::EventColor);
    EXPECT_EQ(classifyLine("<monthcal id=1>"), CalendarTag::Other);
    EXPECT_EQ(classifyLine("<script>x"), CalendarTag::Other);
    // Only A-Z are lowered: a byte above 127 never becomes a letter.
    EXPECT_EQ(classifyLine("<d\xc1tewright>"), CalendarTag::Other);
    EXPECT_EQ(classifyLine("\x7f<events>"), CalendarTag::Other); // 127 is not trimmed
    EXPECT_EQ(trimmedKey("\x01\x20 a b\x20\x0b"), "a b");
}

TEST(CalendarScan, GatesNeedTheRootLineThenAScriptLine)
{
    const std::vector<std::string> body = {"<daycal>", "<events>", "<eventcolor>1</eventcolor>"};
    EXPECT_EQ(converted(crlf(body)), crlf(body));                                        // no root
    EXPECT_EQ(converted(crlf(with({"<datewright>"}, body))), crlf(with({"<datewright>"}, body))); // no script
    const auto scriptFirst = with({"<script>", "<datewright>"}, body);
    EXPECT_EQ(converted(crlf(scriptFirst)), crlf(scriptFirst));                          // script before root
    EXPECT_EQ(converted(crlf(with(header(), body))),
              crlf(with(header(), {"<daycal>", "<events>", align, "<eventcolor>1</eventcolor>"})));
}

TEST(CalendarScan, EventAlignOnlyDirectlyAfterTheEventsLine)
{
    const auto direct = with(header(), {"<weekcal>", "<events>", "<EventColor>1</EventColor>"});
    EXPECT_EQ(converted(crlf(direct)),
              crlf(with(header(), {"<weekcal>", "<events>", align, "<EventColor>1</EventColor>"})));
    const auto later = with(header(), {"<weekcal>", "<events>", "<x/>", "<eventcolor>1</eventcolor>"});
    EXPECT_EQ(converted(crlf(later)), crlf(later));
}

TEST(CalendarScan, IconHeightAfterAnEventIconsLineInsideEvents)
{
    const auto input = with(header(), {"<daycal>", "<events>", "<eventicons>1</eventicons>", "<eventstyle>2</eventstyle>"});
    EXPECT_EQ(converted(crlf(input)),
              crlf(with(header(), {"<daycal>", "<events>", "<eventicons>1</eventicons>", iconHeight,
                                   "<eventstyle>2</eventstyle>"})));
    const auto outsideEvents = with(header(), {"<daycal>", "<eventicons>1", "<eventstyle>2"});
    EXPECT_EQ(converted(crlf(outsideEvents)), crlf(outsideEvents));
}

TEST(CalendarScan, UseEventColorOnlyInAMonthCalendarOutsideEvents)
{
    const std::vector<std::string> colours = {"<daycolors>", "<satcolor>1</satcolor>", "</daycolors>"};
    const auto month = with(header(), with({"<monthcal>"}, colours));
    EXPECT_EQ(converted(crlf(month)),
              crlf(with(header(), {"<monthcal>", "<daycolors>", "<satcolor>1</satcolor>", useColor, "</daycolors>"})));
    const auto day = with(header(), with({"<daycal>"}, colours));
    EXPECT_EQ(converted(crlf(day)), crlf(day));
    const auto inEvents = with(header(), with({"<monthcal>", "<events>"}, colours));
    EXPECT_EQ(converted(crlf(inEvents)), crlf(inEvents));
}

TEST(CalendarScan, ClosingTagClearsItsFlagWhateverIsOpen)
{
    // The flags are not nesting counters: one "</events>" ends both opened blocks.
    const auto input = with(header(), {"<monthcal>", "<events>", "<events>", "</events>", "<satcolor>",
                                       "</daycolors>"});
    EXPECT_EQ(converted(crlf(input)),
              crlf(with(header(), {"<monthcal>", "<events>", "<events>", "</events>", "<satcolor>", useColor,
                                   "</daycolors>"})));
}

TEST(CalendarScan, BlockTagLinesAreNeverTriggers)
{
    // "<events>" followed by "<events>": the second is a block tag, not an eventcolor line.
    const auto input = with(header(), {"<daycal>", "<events>", "<events>", "<eventcolor>"});
    EXPECT_EQ(converted(crlf(input)), crlf(with(header(), {"<daycal>", "<events>", "<events>", align, "<eventcolor>"})));
}

TEST(CalendarScan, InsertedLinesAreNotExaminedSoEachPairingGetsOneLine)
{
    const auto input = with(header(), {"<daycal>", "<events>", "<eventcolor>", "<eventicons>", "<eventstyle>",
                                       "</events>", "<events>", "<eventcolor>"});
    CalendarConverter converter;
    ASSERT_TRUE(converter.convert(crlf(input)));
    ASSERT_EQ(converter.insertions().size(), 3u);
    EXPECT_EQ(converter.insertions()[0].beforeLine, 4u);
    EXPECT_EQ(converter.insertions()[1].beforeLine, 6u);
    EXPECT_EQ(converter.insertions()[2].beforeLine, 9u);
}

TEST(CalendarScan, ConvertingTwiceInsertsNothing)
{
    const auto input = with(header(), {"<monthcal>", "<events>", "<eventcolor>", "<eventicons>", "<eventstyle>",
                                       "</events>", "<daycolors>", "<satcolor>", "</daycolors>", "</monthcal>"});
    CalendarConverter converter;
    ASSERT_TRUE(converter.convert(crlf(input)));
    const std::string once(converter.output());
    EXPECT_FALSE(converter.convert(once));
}

TEST(CalendarScan, LfOnlyFileWithAnInsertionIsWrittenWithCrLf)
{
    EXPECT_EQ(converted("<datewright>\n<script>\n<daycal>\n<events>\n<eventcolor>"),
              crlf(with(header(), {"<daycal>", "<events>", align, "<eventcolor>"})));
}

} // namespace
