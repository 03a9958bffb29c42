// SPDX-License-Identifier: MIT
#include "platform/idlist/IdList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace dw::platform;

namespace {

IdListPtr one(std::string_view data) { return IdListPtr(ILCreateFromData(data)); }

IdListPtr chain(std::initializer_list<std::string_view> ids)
{
    IdListPtr list(ILAlloc(2));
    list->cb[0] = 0; // the empty list: just the terminator
    list->cb[1] = 0;
    for (std::string_view data : ids) {
        IdListPtr next = one(data);
        list.reset(ILCombine(list.get(), next.get()));
    }
    return list;
}

std::vector<std::string> idsOf(const ItemIdList* list)
{
    std::vector<std::string> ids;
    for (const ItemIdList* p = list; ILIdSize(p) != 0; p = ILGetNext(p))
        ids.emplace_back(ILIdData(p));
    return ids;
}

TEST(IdList, OneIdLayout)
{
    IdListPtr list = one("abc");
    const auto* bytes = reinterpret_cast<const unsigned char*>(list.get());
    EXPECT_EQ(bytes[0], 5);
    EXPECT_EQ(bytes[1], 0);
    EXPECT_EQ(bytes[5], 0);
    EXPECT_EQ(bytes[6], 0);
    EXPECT_EQ(ILIdSize(list.get()), 5);
    EXPECT_EQ(ILIdData(list.get()), "abc");
    EXPECT_EQ(ILGetSize(list.get()), 7u);
    EXPECT_EQ(ILCount(list.get()), 1u);
}

TEST(IdList, DataLimits)
{
    const std::string largest(65533, 'x');
    IdListPtr big = one(largest);
    ASSERT_TRUE(big);
    EXPECT_EQ(ILIdSize(big.get()), 65535);
    EXPECT_EQ(ILIdData(big.get()), largest);
    EXPECT_EQ(ILCreateFromData(std::string(65534, 'x')), nullptr);
    IdListPtr empty = one("");
    EXPECT_EQ(ILIdSize(empty.get()), 2);
    EXPECT_EQ(ILIdData(empty.get()), "");
}

TEST(IdList, CombineCloneAndWalk)
{
    IdListPtr list = chain({"root", "folder", "file"});
    EXPECT_EQ(idsOf(list.get()), (std::vector<std::string>{"root", "folder", "file"}));
    EXPECT_EQ(ILGetSize(list.get()), 2u + 6 + 8 + 6);
    EXPECT_EQ(ILCount(list.get()), 3u);

    IdListPtr copy = cloneIdList(list.get());
    EXPECT_NE(copy.get(), list.get());
    EXPECT_TRUE(ILIsEqual(copy.get(), list.get()));

    IdListPtr first(ILCloneFirst(list.get()));
    EXPECT_EQ(idsOf(first.get()), (std::vector<std::string>{"root"}));

    EXPECT_EQ(ILIdData(ILFindLastID(list.get())), "file");
    EXPECT_TRUE(ILRemoveLastID(copy.get()));
    EXPECT_EQ(idsOf(copy.get()), (std::vector<std::string>{"root", "folder"}));
    EXPECT_EQ(ILGetSize(copy.get()), 2u + 6 + 8);
}

TEST(IdList, CombineWithNullAndEmpty)
{
    IdListPtr a = one("a");
    IdListPtr empty = chain({});
    EXPECT_EQ(ILCombine(nullptr, nullptr), nullptr);
    IdListPtr left(ILCombine(a.get(), nullptr));
    IdListPtr right(ILCombine(nullptr, a.get()));
    IdListPtr withEmpty(ILCombine(empty.get(), a.get()));
    EXPECT_TRUE(ILIsEqual(left.get(), a.get()));
    EXPECT_TRUE(ILIsEqual(right.get(), a.get()));
    EXPECT_TRUE(ILIsEqual(withEmpty.get(), a.get()));
    IdListPtr bothEmpty(ILCombine(empty.get(), empty.get()));
    EXPECT_EQ(ILGetSize(bothEmpty.get()), 2u);
}

TEST(IdList, EmptyListIsTheDesktop)
{
    IdListPtr empty = chain({});
    EXPECT_EQ(ILGetSize(empty.get()), 2u);
    EXPECT_EQ(ILCount(empty.get()), 0u);
    EXPECT_EQ(ILGetNext(empty.get()), nullptr);
    EXPECT_EQ(ILFindLastID(empty.get()), empty.get());
    EXPECT_FALSE(ILRemoveLastID(empty.get()));
    IdListPtr first(ILCloneFirst(empty.get()));
    EXPECT_EQ(ILGetSize(first.get()), 2u);
    EXPECT_TRUE(ILIsEqual(empty.get(), nullptr));
}

TEST(IdList, NullIsHandledEverywhere)
{
    EXPECT_EQ(ILIdSize(nullptr), 0);
    EXPECT_EQ(ILIdData(nullptr), "");
    EXPECT_EQ(ILGetSize(nullptr), 0u);
    EXPECT_EQ(ILGetNext(static_cast<const ItemIdList*>(nullptr)), nullptr);
    EXPECT_EQ(ILFindLastID(static_cast<const ItemIdList*>(nullptr)), nullptr);
    EXPECT_FALSE(ILRemoveLastID(nullptr));
    EXPECT_EQ(ILClone(nullptr), nullptr);
    EXPECT_EQ(ILCloneFirst(nullptr), nullptr);
    EXPECT_TRUE(ILIsEqual(nullptr, nullptr));
    EXPECT_EQ(ILCount(nullptr), 0u);
    ILFree(nullptr);
}

TEST(IdList, EqualityIsByteForByte)
{
    IdListPtr a = chain({"x", "y"});
    EXPECT_FALSE(ILIsEqual(a.get(), chain({"x", "Y"}).get()));
    EXPECT_FALSE(ILIsEqual(a.get(), chain({"x"}).get()));
    EXPECT_FALSE(ILIsEqual(a.get(), chain({"xy"}).get())); // same data bytes, other ids
    EXPECT_FALSE(ILIsEqual(a.get(), nullptr));
    EXPECT_TRUE(ILIsEqual(a.get(), chain({"x", "y"}).get()));
    IdListPtr binary = one(std::string_view("\0\xff\0", 3));
    EXPECT_FALSE(ILIsEqual(binary.get(), one(std::string_view("\0\xfe\0", 3)).get()));
}

TEST(IdList, ManyIds)
{
    IdListPtr list = chain({});
    for (int i = 0; i < 2000; ++i) {
        IdListPtr next = one(std::to_string(i));
        list.reset(ILCombine(list.get(), next.get()));
    }
    EXPECT_EQ(ILCount(list.get()), 2000u);
    EXPECT_EQ(ILIdData(ILFindLastID(list.get())), "1999");
}

} // namespace
