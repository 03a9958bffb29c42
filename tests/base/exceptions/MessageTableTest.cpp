// SPDX-License-Identifier: MIT
#include "base/exceptions/SsConst.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <vector>

namespace {

std::vector<int> codesInRange(int first, int last)
{
    std::vector<int> codes;
    for (int code = first; code <= last; ++code)
        codes.push_back(code);
    return codes;
}

TEST(MessageTable, HoldsTheEightySevenCodesInTableOrder)
{
    std::vector<int> expected;
    for (auto [first, last] : {std::pair{51, 67}, {73, 73}, {100, 101}, {110, 128}, {130, 135},
                               {230, 242}, {260, 264}, {270, 276}, {290, 306}}) {
        auto part = codesInRange(first, last);
        expected.insert(expected.end(), part.begin(), part.end());
    }
    ASSERT_EQ(expected.size(), 87u);

    std::vector<int> actual;
    for (const SsMessageRow& row : SsMessageTable())
        actual.push_back(row.code);
    EXPECT_EQ(actual, expected);
}

TEST(MessageTable, EveryRowHasAText)
{
    for (const SsMessageRow& row : SsMessageTable())
        EXPECT_FALSE(row.text.empty()) << "code " << row.code;
}

TEST(MessageTable, QuotedTextsStandExactly)
{
    EXPECT_EQ(SsMessageText(110), "Operation not supported in this version of the shell");
    EXPECT_EQ(SsMessageText(240), "Invalid folder");
    EXPECT_EQ(SsMessageText(73), "Error opening file");
    EXPECT_EQ(SsMessageText(100), "File does not contain version info");
    EXPECT_EQ(SsMessageText(134), "The specified key cannnot be found in version info");
    EXPECT_EQ(SsMessageText(239), "File");
    EXPECT_EQ(SsMessageText(241), "Cannot create folder: Parent folder is read-only");
    EXPECT_EQ(SsMessageText(242), "Invalid sort direction");
}

TEST(MessageTable, ColumnCaptionsOfTheFileList)
{
    const std::array<const char*, 5> captions{"Name", "Size", "Type", "Modified", "Attributes"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(SsMessageText(230 + i), captions[std::size_t(i)]);
}

TEST(MessageLookup, UnknownCodeGivesEmptyText)
{
    for (int code : {0, -1, 50, 68, 72, 74, 99, 102, 129, 136, 229, 243, 307, 1000000})
        EXPECT_EQ(SsMessageText(code), "") << "code " << code;
}

TEST(MessageLookup, LastRowOfARepeatedCodeWins)
{
    const std::array<SsMessageRow, 4> rows{{{7, "first"}, {8, "other"}, {7, "second"}, {9, "last row"}}};
    EXPECT_EQ(SsLookupMessage(rows, 7), "second");
    EXPECT_EQ(SsLookupMessage(rows, 8), "other");
    EXPECT_EQ(SsLookupMessage(rows, 9), "last row");
    EXPECT_EQ(SsLookupMessage(rows, 10), "");
    EXPECT_EQ(SsLookupMessage({}, 7), "");
}

TEST(MessageLookup, CodesAreUniqueInTheLibraryTable)
{
    std::set<int> seen;
    for (const SsMessageRow& row : SsMessageTable())
        EXPECT_TRUE(seen.insert(row.code).second) << "code " << row.code << " repeats";
}

} // namespace
