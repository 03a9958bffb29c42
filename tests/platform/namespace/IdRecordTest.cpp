// SPDX-License-Identifier: MIT
#include "platform/namespace/IdRecord.h"

#include <gtest/gtest.h>

#include <string>

using namespace dw::platform;

namespace {

std::string listBytes(const ItemIdList* list)
{
    return std::string(reinterpret_cast<const char*>(list), ILGetSize(list));
}

std::string oneIdBuffer(const std::string& data)
{
    std::string buffer;
    const auto size = static_cast<std::uint16_t>(data.size() + 2);
    buffer.push_back(static_cast<char>(size & 0xFF));
    buffer.push_back(static_cast<char>(size >> 8));
    buffer += data;
    buffer.append(2, '\0');
    return buffer;
}

} // namespace

TEST(IdRecord, EntryKeepsExactBytesOfOddNames)
{
    const std::string name = std::string("a\nb\xff\xfe", 5) + std::string(250, 'x');
    const IdListPtr id = makeEntryRecord(name, ENTRY_DIRECTORY | ENTRY_SYMLINK);
    const auto record = readRecord(id.get());
    ASSERT_TRUE(record);
    EXPECT_EQ(record->kind, IdKind::Entry);
    EXPECT_EQ(record->payload, name);
    EXPECT_TRUE(record->isDirectory());
    EXPECT_EQ(record->flags & ENTRY_SYMLINK, ENTRY_SYMLINK);
}

TEST(IdRecord, ComponentRules)
{
    EXPECT_TRUE(isValidComponent("a name"));
    EXPECT_TRUE(isValidComponent(std::string(255, 'n')));
    EXPECT_FALSE(isValidComponent(std::string(256, 'n')));
    EXPECT_FALSE(isValidComponent(""));
    EXPECT_FALSE(isValidComponent("."));
    EXPECT_FALSE(isValidComponent(".."));
    EXPECT_FALSE(isValidComponent("a/b"));
    EXPECT_FALSE(isValidComponent(std::string("a\0b", 3)));
}

TEST(IdRecord, MalformedRecordsAreRefused)
{
    EXPECT_FALSE(isWellFormedRecord(""));
    EXPECT_FALSE(isWellFormedRecord("F"));                         // no flags byte
    EXPECT_FALSE(isWellFormedRecord(std::string("Q\0x", 3)));      // unknown kind
    EXPECT_FALSE(isWellFormedRecord(std::string("F\0", 2)));       // entry without a name
    EXPECT_FALSE(isWellFormedRecord(std::string("F\0a/b", 5)));    // path, not a name
    EXPECT_FALSE(isWellFormedRecord(std::string("F\0..", 4)));
    EXPECT_FALSE(isWellFormedRecord(std::string("V\3mnt", 5)));    // relative mount point
    EXPECT_FALSE(isWellFormedRecord(std::string("C\0x", 3)));      // virtual ids carry nothing
    EXPECT_TRUE(isWellFormedRecord(std::string("V\3/mnt", 6)));
    EXPECT_TRUE(isWellFormedRecord(std::string("C\0", 2)));
}

TEST(IdRecord, ValidationOfListsFromOutside)
{
    const IdListPtr computer = makeRecord(IdKind::Computer);
    const IdListPtr volume = makeRecord(IdKind::Volume, 3, "/");
    const IdListPtr entry = makeEntryRecord("home", ENTRY_DIRECTORY);
    IdListPtr list(ILCombine(computer.get(), volume.get()));
    list.reset(ILCombine(list.get(), entry.get()));
    const std::string good = listBytes(list.get());
    EXPECT_EQ(validateNamespaceIdList(good.data(), good.size()), good.size());

    // Cut short: the terminator lies outside the buffer.
    EXPECT_EQ(validateNamespaceIdList(good.data(), good.size() - 1), 0u);
    // A well-chained list whose record is not one of ours.
    const std::string foreign = oneIdBuffer("garbage");
    EXPECT_EQ(validateNamespaceIdList(foreign.data(), foreign.size()), 0u);
    const std::string slash = oneIdBuffer(std::string("F\0a/b", 5));
    EXPECT_EQ(validateNamespaceIdList(slash.data(), slash.size()), 0u);
    EXPECT_EQ(readRecord(reinterpret_cast<const ItemIdList*>(slash.data())), std::nullopt);
}

TEST(IdRecord, EmptyListIsTheDesktop)
{
    const IdListPtr empty = emptyIdList();
    EXPECT_EQ(ILGetSize(empty.get()), 2u);
    EXPECT_EQ(readRecord(empty.get()), std::nullopt);
}
