// SPDX-License-Identifier: MIT
#include "platform/namespace/NaturalOrder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using dw::platform::compareNames;

TEST(NaturalOrder, NumbersCompareByValue)
{
    EXPECT_LT(compareNames("Cal9", "Cal10"), 0);
    EXPECT_GT(compareNames("Cal10", "Cal9"), 0);
    EXPECT_LT(compareNames("file2.dw2", "file10.dw2"), 0);
}

TEST(NaturalOrder, CaseDoesNotDecideOrderButNamesStayDistinct)
{
    EXPECT_LT(compareNames("apple", "Banana"), 0);
    EXPECT_LT(compareNames("Apple", "banana"), 0);
    EXPECT_NE(compareNames("readme", "README"), 0);
    EXPECT_EQ(compareNames("same", "same"), 0);
    EXPECT_EQ(compareNames("readme", "README"), -compareNames("README", "readme"));
}

TEST(NaturalOrder, SortsAListLikeAFileManager)
{
    std::vector<std::string> names{"Cal10", "cal2", "Cal1", "beta", "Alpha", "Cal9"};
    std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return compareNames(a, b) < 0; });
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "beta", "Cal1", "cal2", "Cal9", "Cal10"}));
}

TEST(NaturalOrder, InvalidUtf8NamesAreOrderedAndDistinct)
{
    const std::string a("x\xff", 2);
    const std::string b("x\xfe", 2);
    EXPECT_NE(compareNames(a, b), 0);
    EXPECT_EQ(compareNames(a, b), -compareNames(b, a));
}

TEST(NaturalOrder, ComparingWhenTheKeyCacheIsFullAndEmptiesItself)
{
    // The cache holds 400,000 keys; the 400,001st name empties it while the
    // first name's key is still in use. Under AddressSanitizer a kept
    // reference into the cache shows as a use after free.
    constexpr int kCacheLimit = 400000;
    const std::string first = "Calendar 0";
    ASSERT_LT(compareNames(first, "Calendar 1"), 0); // both cached now
    for (int i = 2; i < kCacheLimit; ++i)
        compareNames(first, "Calendar " + std::to_string(i));
    EXPECT_LT(compareNames(first, "Calendar 400001"), 0);
    EXPECT_GT(compareNames("Calendar 400002", first), 0);
}

TEST(NaturalOrder, SortKeysOrderNamesAsComparingThemDoes)
{
    const std::vector<std::string> names{"Cal10", "cal2", "Cal1", "beta", "Alpha", "Cal9", "readme", "README",
                                         std::string("x\xff", 2), std::string("x\xfe", 2), "", "10", "9"};
    for (const std::string& a : names) {
        for (const std::string& b : names) {
            const dw::platform::NameSortKey keyA(a);
            EXPECT_EQ(keyA.compare(dw::platform::NameSortKey(b)), compareNames(a, b)) << a << " vs " << b;
        }
    }
}
