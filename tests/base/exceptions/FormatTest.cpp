// SPDX-License-Identifier: MIT
#include "base/exceptions/SsFormat.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

TEST(SsFormat, PlainTextAndPercent)
{
    EXPECT_EQ(SsFormat("no specifiers", {}), "no specifiers");
    EXPECT_EQ(SsFormat("100%% sure", {}), "100% sure");
    EXPECT_EQ(SsFormat("", {1}), "");
}

TEST(SsFormat, SignedUnsignedAndText)
{
    EXPECT_EQ(SsFormat("%d and %s", {-42, "text"}), "-42 and text");
    EXPECT_EQ(SsFormat("%u", {4294967295u}), "4294967295");
    EXPECT_EQ(SsFormat("%d", {std::numeric_limits<long long>::min()}), "-9223372036854775808");
}

TEST(SsFormat, HexadecimalWithPrecisionPadsWithZeros)
{
    // The translation prefix of version information is built this way.
    EXPECT_EQ(SsFormat("StringFileInfo\\%.4x%.4x\\", {0x409, 0x4b0}), "StringFileInfo\\040904b0\\");
    EXPECT_EQ(SsFormat("%.4X", {0xab}), "00AB");
    EXPECT_EQ(SsFormat("%x", {0x12345}), "12345");
}

TEST(SsFormat, WidthAndAlignment)
{
    EXPECT_EQ(SsFormat("[%5d]", {42}), "[   42]");
    EXPECT_EQ(SsFormat("[%-5s]", {"ab"}), "[ab   ]");
    EXPECT_EQ(SsFormat("[%.2s]", {"abcdef"}), "[ab]");
}

TEST(SsFormat, IndexedArguments)
{
    EXPECT_EQ(SsFormat("%1:s %0:s %s", {"a", "b", "c"}), "b a b");
}

TEST(SsFormat, FloatingPoint)
{
    EXPECT_EQ(SsFormat("%.2f", {4.716}), "4.72");
    EXPECT_EQ(SsFormat("%g", {4.71}), "4.71");
}

TEST(SsFormat, MissingArgumentsStayAsWritten)
{
    EXPECT_EQ(SsFormat("a %d b %s", {1}), "a 1 b %s");
    EXPECT_EQ(SsFormat("%5:d", {1}), "%5:d");
}

TEST(SsFormat, MismatchedArgumentsShowThemselves)
{
    EXPECT_EQ(SsFormat("%d", {"text"}), "text");
    EXPECT_EQ(SsFormat("%s", {12}), "12");
}

TEST(SsFormat, BrokenSpecifiersDoNotSwallowText)
{
    EXPECT_EQ(SsFormat("50%", {}), "50%");
    EXPECT_EQ(SsFormat("%q", {1}), "%q");
    EXPECT_EQ(SsFormat("%-", {1}), "%-");
}

TEST(SsFormat, HugeWidthIsBounded)
{
    const std::string text = SsFormat("%99999999999999999999d", {1});
    EXPECT_LE(text.size(), 1024u);
    EXPECT_EQ(text.back(), '1');
}

} // namespace
