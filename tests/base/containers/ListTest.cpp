// SPDX-License-Identifier: MIT
#include "base/containers/SsList.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Counts live instances, so tests can see that the list frees what it owns.
struct Tracked {
    static inline int alive = 0;
    int value;
    explicit Tracked(int v) : value(v) { ++alive; }
    ~Tracked() { --alive; }
};

class ListTest : public ::testing::Test {
protected:
    void SetUp() override { Tracked::alive = 0; }
    void TearDown() override { EXPECT_EQ(Tracked::alive, 0); }
};

std::vector<int> valuesOf(const TStList<Tracked>& list)
{
    std::vector<int> values;
    list.ForEach([&](const Tracked& item) { values.push_back(item.value); });
    return values;
}

TEST_F(ListTest, AppendAndInsertKeepOrder)
{
    TStList<Tracked> list;
    list.Append(std::make_unique<Tracked>(2));
    list.Append(std::make_unique<Tracked>(3));
    list.Insert(std::make_unique<Tracked>(1));
    EXPECT_EQ(valuesOf(list), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(list.Head()->value, 1);
    EXPECT_EQ(list.Tail()->value, 3);
    EXPECT_EQ(list.Count(), 3u);
}

TEST_F(ListTest, RemovingFreesTheItem)
{
    TStList<Tracked> list;
    list.Append(std::make_unique<Tracked>(1));
    list.Append(std::make_unique<Tracked>(2));
    EXPECT_TRUE(list.RemoveHead());
    EXPECT_EQ(Tracked::alive, 1);
    EXPECT_TRUE(list.RemoveTail());
    EXPECT_EQ(Tracked::alive, 0);
    EXPECT_FALSE(list.RemoveHead());
    EXPECT_FALSE(list.RemoveTail());
    EXPECT_EQ(list.Head(), nullptr);
    EXPECT_EQ(list.Tail(), nullptr);
}

TEST_F(ListTest, TakeHandsOwnershipOver)
{
    TStList<Tracked> list;
    list.Append(std::make_unique<Tracked>(5));
    std::unique_ptr<Tracked> taken = list.TakeHead();
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(taken->value, 5);
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(Tracked::alive, 1);
    EXPECT_EQ(list.TakeTail(), nullptr);
}

TEST_F(ListTest, EmptyItemIsRefusedAndNothingIsAdded)
{
    TStList<Tracked> list;
    try {
        list.Append(nullptr);
        FAIL() << "no error raised";
    } catch (const ESsContainerError& error) {
        EXPECT_EQ(error.ErrorCode(), ssscNilItem);
    }
    EXPECT_THROW(list.Insert(nullptr), ESsContainerError);
    EXPECT_EQ(list.Count(), 0u);
}

TEST_F(ListTest, DestructionAndClearFreeEverything)
{
    {
        TStList<Tracked> list;
        for (int i = 0; i < 100; ++i)
            list.Append(std::make_unique<Tracked>(i));
        EXPECT_EQ(Tracked::alive, 100);
    }
    EXPECT_EQ(Tracked::alive, 0);

    TStList<Tracked> list;
    list.Append(std::make_unique<Tracked>(1));
    list.Clear();
    EXPECT_EQ(Tracked::alive, 0);
    EXPECT_TRUE(list.IsEmpty());
}

} // namespace
