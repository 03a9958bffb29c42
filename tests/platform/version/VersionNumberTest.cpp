// SPDX-License-Identifier: MIT
#include "platform/version/VersionNumber.h"

#include <gtest/gtest.h>

#include <clocale>

using namespace dw::platform;

namespace {

TEST(VersionNumber, PlainDecimalTextIsTakenAsItIs)
{
    EXPECT_DOUBLE_EQ(VersionTextToNumber("4.71", ".").value(), 4.71);
    EXPECT_DOUBLE_EQ(VersionTextToNumber("4", ".").value(), 4.0);
    EXPECT_DOUBLE_EQ(VersionTextToNumber(" 4.00 ", ".").value(), 4.0);
    EXPECT_DOUBLE_EQ(VersionTextToNumber("123.456789", ".").value(), 123.456789); // not cut to 5 characters
}

TEST(VersionNumber, DottedVersionIsCutAtTheSecondDot)
{
    EXPECT_DOUBLE_EQ(VersionTextToNumber("4.72.3110.0", ".").value(), 4.72);
    EXPECT_DOUBLE_EQ(VersionTextToNumber("4.00.950", ".").value(), 4.0);
    EXPECT_DOUBLE_EQ(VersionTextToNumber("6.1.7601.17514 (win7sp1_rtm.101119-1850)", ".").value(), 6.1);
}

TEST(VersionNumber, AtMostFiveCharactersAreKept)
{
    EXPECT_DOUBLE_EQ(VersionTextToNumber("10.12.1", ".").value(), 10.12);
    EXPECT_DOUBLE_EQ(VersionTextToNumber("100.25.1", ".").value(), 100.2);
    EXPECT_DOUBLE_EQ(VersionTextToNumber("4.7212.1", ".").value(), 4.721);
}

TEST(VersionNumber, TheLocaleSeparatorIsUsed)
{
    // A plain "4.71" is no decimal number where the separator is a comma,
    // so the dotted rule applies and turns it into "4,71".
    EXPECT_DOUBLE_EQ(VersionTextToNumber("4.71", ",").value(), 4.71);
    EXPECT_DOUBLE_EQ(VersionTextToNumber("4.72.3110.0", ",").value(), 4.72);
    EXPECT_DOUBLE_EQ(VersionTextToNumber("4,5", ",").value(), 4.5);
    EXPECT_FALSE(VersionTextToNumber("4,5", "."));
    EXPECT_DOUBLE_EQ(VersionTextToNumber("4.72.1", "\xD9\xAB").value(), 4.72); // a two-byte separator
}

TEST(VersionNumber, TextsThatAreNoNumber)
{
    EXPECT_FALSE(VersionTextToNumber("", "."));
    EXPECT_FALSE(VersionTextToNumber("abc", "."));
    EXPECT_FALSE(VersionTextToNumber("6.1 beta", "."));
    EXPECT_FALSE(VersionTextToNumber(".", "."));
    EXPECT_FALSE(VersionTextToNumber("4.x.1", "."));
}

TEST(DecimalText, Shapes)
{
    EXPECT_DOUBLE_EQ(DecimalTextToNumber("-1.5", ".").value(), -1.5);
    EXPECT_DOUBLE_EQ(DecimalTextToNumber("+2", ".").value(), 2.0);
    EXPECT_DOUBLE_EQ(DecimalTextToNumber(".5", ".").value(), 0.5);
    EXPECT_DOUBLE_EQ(DecimalTextToNumber("5.", ".").value(), 5.0);
    EXPECT_DOUBLE_EQ(DecimalTextToNumber("1e3", ".").value(), 1000.0);
    EXPECT_FALSE(DecimalTextToNumber("1e", "."));
    EXPECT_FALSE(DecimalTextToNumber("1.2.3", "."));
    EXPECT_FALSE(DecimalTextToNumber("0x10", "."));
    EXPECT_FALSE(DecimalTextToNumber("1e999", "."));
    EXPECT_FALSE(DecimalTextToNumber("--1", "."));
}

TEST(DecimalText, LocaleSeparatorFollowsTheNumericLocale)
{
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(LocaleDecimalSeparator(), ".");
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") || std::setlocale(LC_NUMERIC, "de_DE")) {
        EXPECT_EQ(LocaleDecimalSeparator(), ",");
    }
    std::setlocale(LC_NUMERIC, saved.c_str());
}

} // namespace
