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
