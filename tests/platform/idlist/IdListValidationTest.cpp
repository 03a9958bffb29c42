// SPDX-License-Identifier: MIT
#include "platform/idlist/IdList.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <vector>

using namespace dw::platform;

namespace {

using Bytes = std::vector<unsigned char>;

void putId(Bytes& out, std::uint16_t size, unsigned char fill = 'd')
{
    out.push_back(static_cast<unsigned char>(size & 0xFF));
    out.push_back(static_cast<unsigned char>(size >> 8));
    for (std::size_t i = 2; i < size; ++i)
        out.push_back(fill);
}

Bytes terminated(std::initializer_list<std::uint16_t> sizes)
{
    Bytes out;
    for (std::uint16_t size : sizes)
        putId(out, size);
    out.push_back(0);
    out.push_back(0);
    return out;
}

TEST(IdListValidate, WellFormedLists)
{
    const Bytes list = terminated({5, 2, 10});
    EXPECT_EQ(ILValidate(list.data(), list.size()), 19u);
    Bytes trailing = list;
    trailing.insert(trailing.end(), 50, 0xEE);
    EXPECT_EQ(ILValidate(trailing.data(), trailing.size()), 19u); // bytes after the terminator are not the list's
}

TEST(IdListValidate, ZeroLengthFirstIdIsTheEmptyList)
{
    const Bytes empty = {0, 0, 7, 7, 7};
    EXPECT_EQ(ILValidate(empty.data(), empty.size()), 2u);
    IdListPtr copy(ILCloneValidated(empty.data(), empty.size()));
    ASSERT_TRUE(copy);
    EXPECT_EQ(ILGetSize(copy.get()), 2u);
    EXPECT_EQ(ILCount(copy.get()), 0u);
}

TEST(IdListValidate, LengthRunningPastTheBuffer)
{
    Bytes list = terminated({5, 40});
    EXPECT_EQ(ILValidate(list.data(), list.size() - 3), 0u); // terminator and part of the id cut off
    Bytes lying = {6, 0, 'a', 'b', 0, 0};
    EXPECT_EQ(ILValidate(lying.data(), lying.size()), 0u);   // the id claims the terminator's bytes
    Bytes huge = {0xFF, 0xFF, 'a', 'b', 0, 0};
    EXPECT_EQ(ILValidate(huge.data(), huge.size()), 0u);
    EXPECT_EQ(ILCloneValidated(huge.data(), huge.size()), nullptr);
}

TEST(IdListValidate, MissingOrCutTerminator)
{
    Bytes noTerminator;
    putId(noTerminator, 4);
    EXPECT_EQ(ILValidate(noTerminator.data(), noTerminator.size()), 0u);
    Bytes halfTerminator = noTerminator;
    halfTerminator.push_back(0);
    EXPECT_EQ(ILValidate(halfTerminator.data(), halfTerminator.size()), 0u);
}

TEST(IdListValidate, IdOfSizeOneIsRefused)
{
    const Bytes list = {1, 0, 0, 0};
    EXPECT_EQ(ILValidate(list.data(), list.size()), 0u);
}

TEST(IdListValidate, TinyAndNullBuffers)
{
    const unsigned char zero[2] = {0, 0};
    EXPECT_EQ(ILValidate(nullptr, 100), 0u);
    EXPECT_EQ(ILValidate(zero, 0), 0u);
    EXPECT_EQ(ILValidate(zero, 1), 0u);
    EXPECT_EQ(ILValidate(zero, 2), 2u);
    EXPECT_EQ(ILCloneValidated(nullptr, 2), nullptr);
}

TEST(IdListValidate, HugeCountsOfIds)
{
    // 300,000 minimal ids: long, but every one within the buffer.
    Bytes many;
    many.reserve(600'002);
    for (int i = 0; i < 300'000; ++i)
        putId(many, 2);
    many.push_back(0);
    many.push_back(0);
    EXPECT_EQ(ILValidate(many.data(), many.size()), 600'002u);
    IdListPtr copy(ILCloneValidated(many.data(), many.size()));
    ASSERT_TRUE(copy);
    EXPECT_EQ(ILCount(copy.get()), 300'000u);

    many.resize(many.size() - 1); // the last byte of the terminator gone
    EXPECT_EQ(ILValidate(many.data(), many.size()), 0u);
}

TEST(IdListValidate, BufferSizeBeyondWhatAListCanHold)
{
    const unsigned char zero[2] = {0, 0};
    EXPECT_EQ(ILValidate(zero, std::size_t(std::numeric_limits<std::uint32_t>::max()) + 1), 0u);
}

TEST(IdListValidate, CloneCopiesOnlyTheList)
{
    Bytes list = terminated({3});
    list.push_back(0xAA);
    IdListPtr copy(ILCloneValidated(list.data(), list.size()));
    ASSERT_TRUE(copy);
    EXPECT_EQ(ILGetSize(copy.get()), 5u);
    EXPECT_EQ(ILIdData(copy.get()), "d");
}

// Whatever a buffer holds, a list that passes stays within the buffer and
// its walk ends at the size the validation answered.
TEST(IdListValidate, RandomBuffersNeverLeadOutside)
{
    std::mt19937 random(7);
    int accepted = 0;
    for (int round = 0; round < 20000; ++round) {
        Bytes buffer(2 + random() % 40);
        for (auto& byte : buffer)
            byte = static_cast<unsigned char>(random() % 4 == 0 ? 0 : random() % 12);
        const std::uint32_t size = ILValidate(buffer.data(), buffer.size());
        if (size == 0)
            continue;
        ++accepted;
        ASSERT_LE(size, buffer.size());
        IdListPtr copy(ILCloneValidated(buffer.data(), buffer.size()));
        ASSERT_TRUE(copy);
        ASSERT_EQ(ILGetSize(copy.get()), size);
    }
    EXPECT_GT(accepted, 100);
}

} // namespace
