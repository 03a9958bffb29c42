// SPDX-License-Identifier: MIT
#include "platform/dragdata/IdListArray.h"
#include "platform/namespace/IdRecord.h"

#include <gtest/gtest.h>

#include <string>

using namespace dw::platform;

namespace {

std::string bytesOf(const ItemIdList* list)
{
    return std::string(reinterpret_cast<const char*>(list), ILGetSize(list));
}

std::string word(std::uint32_t value)
{
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

IdListPtr entryPath(IdListPtr list, std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        const IdListPtr entry = makeEntryRecord(name, ENTRY_DIRECTORY);
        list.reset(ILCombine(list.get(), entry.get()));
    }
    return list;
}

// Home, then Cal: what dragging the folder ~/Cal out of the tree carries.
const std::string kHomeId = std::string("\x04\x00" "H\x00", 4);
const std::string kCalId = std::string("\x07\x00" "F\x01" "Cal", 7);
const std::string kEnd = std::string("\x00\x00", 2);
const std::string kOneFolderBlock = word(1) + word(12) + word(18) + kHomeId + kEnd + kCalId + kEnd;

IdListArrayError errorOf(const std::string& block)
{
    IdListArrayError error = IdListArrayError::None;
    EXPECT_FALSE(decodeIdListArray(block, validateNamespaceIdList, &error)) << "accepted a malformed block";
    return error;
}

} // namespace

TEST(IdListArray, OneItemIsLaidOutAsCountOffsetsParentAndChild)
{
    const IdListPtr cal = entryPath(makeRecord(IdKind::Home), {"Cal"});
    EXPECT_EQ(encodeIdListArrayOf({cal.get()}), kOneFolderBlock);

    const auto decoded = decodeIdListArray(kOneFolderBlock, validateNamespaceIdList);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(bytesOf(decoded->parent.get()), kHomeId + kEnd);
    ASSERT_EQ(decoded->children.size(), 1u);
    EXPECT_EQ(bytesOf(decoded->children[0].get()), kCalId + kEnd);
    EXPECT_TRUE(ILIsEqual(decoded->absoluteLists()[0].get(), cal.get()));
}

TEST(IdListArray, SeveralItemsShareTheirNearestParentAndComeBackInOrder)
{
    const IdListPtr home = makeRecord(IdKind::Home);
    const IdListPtr deep = entryPath(cloneIdList(home.get()), {"Cal", "2024", "deep"});
    const IdListPtr cal = entryPath(cloneIdList(home.get()), {"Cal"});
    const IdListPtr other = entryPath(cloneIdList(home.get()), {"Cal", "other"});
    for (const auto& items : {std::vector<const ItemIdList*>{deep.get(), other.get()},
                              std::vector<const ItemIdList*>{deep.get(), cal.get(), other.get()},
                              std::vector<const ItemIdList*>{home.get()}}) {
        const auto decoded = decodeIdListArray(encodeIdListArrayOf(items), validateNamespaceIdList);
        ASSERT_TRUE(decoded);
        const std::vector<IdListPtr> lists = decoded->absoluteLists();
        ASSERT_EQ(lists.size(), items.size());
        for (std::size_t i = 0; i < items.size(); ++i)
            EXPECT_TRUE(ILIsEqual(lists[i].get(), items[i])) << i;
    }
    // Below Home/Cal both, with Cal itself among them only below Home.
    const auto pair = decodeIdListArray(encodeIdListArrayOf({deep.get(), other.get()}), ILValidate);
    EXPECT_EQ(ILCount(pair->parent.get()), 2u);
    const auto triple = decodeIdListArray(encodeIdListArrayOf({deep.get(), cal.get()}), ILValidate);
    EXPECT_EQ(ILCount(triple->parent.get()), 1u);
    // The desktop has no parent to be carried under.
    const IdListPtr desktop = emptyIdList();
    EXPECT_EQ(encodeIdListArrayOf({desktop.get()}), "");
}

TEST(IdListArray, MalformedBlocksAreRefusedForTheirFault)
{
    const std::string lists = kHomeId + kEnd + kCalId + kEnd;
    EXPECT_EQ(errorOf(""), IdListArrayError::BadBlockSize);
    EXPECT_EQ(errorOf(word(1) + word(12)), IdListArrayError::BadBlockSize);
    EXPECT_EQ(errorOf(std::string(kMaxIdListArrayBytes + 1, '\0')), IdListArrayError::BadBlockSize);

    EXPECT_EQ(errorOf(word(0) + word(8) + lists), IdListArrayError::BadCount);
    EXPECT_EQ(errorOf(word(0xFFFFFFFF) + word(12) + word(18) + lists), IdListArrayError::BadCount);
    // A count whose header size, 4 * (count + 2), wraps to 4 in 32 bits.
    EXPECT_EQ(errorOf(word(0x3FFFFFFF) + word(12) + word(18) + lists), IdListArrayError::BadCount);
    EXPECT_EQ(errorOf(word(2) + word(12) + word(18)), IdListArrayError::BadCount); // offsets past the block
    EXPECT_EQ(errorOf(word(kMaxIdListArrayItems + 1) + std::string(4 * (kMaxIdListArrayItems + 2), '\x10')),
              IdListArrayError::BadCount);

    EXPECT_EQ(errorOf(word(1) + word(4) + word(18) + lists), IdListArrayError::BadOffset); // into the header
    EXPECT_EQ(errorOf(word(1) + word(12) + word(27) + lists), IdListArrayError::BadOffset); // at the end
    EXPECT_EQ(errorOf(word(1) + word(12) + word(0xFFFFFFF0) + lists), IdListArrayError::BadOffset);

    EXPECT_EQ(errorOf(word(1) + word(12) + word(18) + kHomeId + kEnd + kCalId), IdListArrayError::BadList);
    const std::string longId = std::string("\xF0\x00" "F\x01", 4) + "x";
    EXPECT_EQ(errorOf(word(1) + word(12) + word(18) + kHomeId + kEnd + longId), IdListArrayError::BadList);
    const std::string foreignId = std::string("\x05\x00" "Q\x00" "x", 5);
    EXPECT_EQ(errorOf(word(1) + word(12) + word(18) + kHomeId + kEnd + foreignId + kEnd), IdListArrayError::BadList);
    const std::string slashId = std::string("\x07\x00" "F\x00" "a/b", 7);
    EXPECT_EQ(errorOf(word(1) + word(12) + word(18) + kHomeId + kEnd + slashId + kEnd), IdListArrayError::BadList);

    EXPECT_EQ(errorOf(word(1) + word(12) + word(16) + kHomeId + kEnd), IdListArrayError::EmptyItem);
}

TEST(IdListArray, ListsMayShareBytesAndTrailingBytesAreIgnored)
{
    // Both items point at one list; the parent is the empty list inside it.
    const std::string block = word(2) + word(23) + word(16) + word(16) + kCalId + kEnd + std::string(7, '\x7F');
    const auto decoded = decodeIdListArray(block, validateNamespaceIdList);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(ILCount(decoded->parent.get()), 0u);
    ASSERT_EQ(decoded->children.size(), 2u);
    EXPECT_TRUE(ILIsEqual(decoded->children[0].get(), decoded->children[1].get()));
}

namespace {

// What a validator was shown, in bytes: a list's size when it was taken,
// the whole window offered when it was refused. Past `lookLimit` it refuses
// everything, so that a decoder that reads without end still ends.
struct ValidatorCost {
    std::size_t bytesLookedAt = 0;
    std::size_t lookLimit = 0;
};
ValidatorCost validatorCost;

std::uint32_t countingValidator(const void* buffer, std::size_t size)
{
    const std::uint32_t listSize = validateNamespaceIdList(buffer, size);
    validatorCost.bytesLookedAt += listSize ? listSize : size;
    return validatorCost.bytesLookedAt > validatorCost.lookLimit ? 0 : listSize;
}

// A chain of entry ids of 259 bytes (the longest name) taking `bytes` or a
// little less, with its terminator.
std::string longEntryChain(std::size_t bytes)
{
    const std::string id = std::string("\x03\x01" "F\x01", 4) + std::string(255, 'n');
    std::string chain;
    while (chain.size() + id.size() + kEnd.size() <= bytes)
        chain += id;
    return chain + kEnd;
}

// A block of `count` items, all of them `child` under `parent`, laid out
// one after the other.
std::string blockOfRepeatedChild(std::uint32_t count, const std::string& parent, const std::string& child)
{
    std::string block = word(count);
    std::uint32_t at = 4 * (count + 2);
    block += word(at);
    at += std::uint32_t(parent.size());
    for (std::uint32_t i = 0; i < count; ++i, at += std::uint32_t(child.size()))
        block += word(at);
    block += parent;
    for (std::uint32_t i = 0; i < count; ++i)
        block += child;
    return block;
}

} // namespace

TEST(IdListArray, EveryOffsetAtOneLongListIsRefusedAfterLookingAtNoMoreThanTheBlock)
{
    // 16 MiB: the header of 65,536 items, an empty parent, then one list
    // filling the rest, which every item names.
    const std::uint32_t count = kMaxIdListArrayItems;
    const std::size_t header = 4 * (count + 2);
    std::string block = word(count) + word(std::uint32_t(header));
    for (std::uint32_t i = 0; i < count; ++i)
        block += word(std::uint32_t(header + kEnd.size()));
    block += kEnd + longEntryChain(kMaxIdListArrayBytes - header - kEnd.size());
    ASSERT_LE(block.size(), kMaxIdListArrayBytes);

    validatorCost = {0, 4 * block.size()};
    IdListArrayError error = IdListArrayError::None;
    EXPECT_FALSE(decodeIdListArray(block, countingValidator, &error));
    EXPECT_EQ(error, IdListArrayError::SharedBytes);
    EXPECT_LE(validatorCost.bytesLookedAt, block.size());

    // Two items naming the same list of a block that holds it twice over
    // are still taken (the block above holds its 16 MiB list once).
    const std::string twice = word(2) + word(16) + word(18) + word(18) + kEnd + kCalId + kEnd + std::string(9, ' ');
    EXPECT_TRUE(decodeIdListArray(twice, validateNamespaceIdList));
}

TEST(IdListArray, ALongParentSharedByManyItemsIsRefusedAsTooLarge)
{
    const std::string parent = kHomeId + longEntryChain(20000);
    const std::string child = kCalId + kEnd;
    // 800 items come to just under 16 MiB of absolute lists, 900 to over it.
    const auto fits = decodeIdListArray(blockOfRepeatedChild(800, parent, child), validateNamespaceIdList);
    ASSERT_TRUE(fits);
    std::size_t total = 0;
    for (const IdListPtr& absolute : fits->absoluteLists())
        total += ILGetSize(absolute.get());
    EXPECT_LE(total, kMaxIdListArrayBytes);
    EXPECT_EQ(errorOf(blockOfRepeatedChild(900, parent, child)), IdListArrayError::TooLarge);
}
