// SPDX-License-Identifier: MIT
#include "TestImages.h"

#include "platform/version/VersionBlock.h"
#include "platform/version/VersionBlockWriter.h"

#include <gtest/gtest.h>

#include <random>

using namespace dw::platform;
using namespace dw::test;

namespace {

TEST(VersionBlock, HandMadeBlockReads)
{
    const Bytes block = HandMadeBlock();
    ASSERT_TRUE(IsWellFormedVersionBlock(block));

    const auto fixed = VerQueryFixedInfo(block);
    ASSERT_TRUE(fixed);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010002u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00030004u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00050006u);

    const auto translations = VerQueryTranslations(block);
    ASSERT_EQ(translations.size(), 1u);
    EXPECT_EQ(translations[0].language, 0x0409);
    EXPECT_EQ(translations[0].codePage, 0x04B0);

    EXPECT_EQ(VerQueryString(block, "\\StringFileInfo\\040904b0\\FileVersion"), "1.2.3.4");
    const auto root = VerQueryValue(block, "\\");
    ASSERT_TRUE(root);
    EXPECT_EQ(root->bytes.size(), VsFixedFileInfo::kSize);
    EXPECT_FALSE(root->isText);
}

TEST(VersionBlock, NamesCompareWithoutCase)
{
    const Bytes block = HandMadeBlock();
    EXPECT_EQ(VerQueryString(block, "\\stringfileinfo\\040904B0\\fileversion"), "1.2.3.4");
    EXPECT_EQ(VerQueryString(block, "StringFileInfo\\040904b0\\FileVersion"), "1.2.3.4");
}

TEST(VersionBlock, MissingPathsAnswerNothing)
{
    const Bytes block = HandMadeBlock();
    EXPECT_FALSE(VerQueryValue(block, "\\StringFileInfo\\040904b0\\ProductVersion"));
    EXPECT_FALSE(VerQueryValue(block, "\\StringFileInfo\\040704e4\\FileVersion"));
    EXPECT_FALSE(VerQueryString(block, "\\VarFileInfo\\Translation")); // binary, not text
    EXPECT_FALSE(VerQueryValue(block, "\\StringFileInfo\\040904b0\\FileVersion\\Deeper"));
    EXPECT_FALSE(VerQueryValue(block, "\\FileVersio"));
}

// The writer lays a block out exactly as the hand-made one.
TEST(VersionBlockWriter, MatchesTheHandMadeLayout)
{
    VersionBlockContents contents;
    contents.fixedInfo = FixedInfoForVersions("1.2.3.4", "5.6.7.8");
    ASSERT_TRUE(contents.fixedInfo);
    contents.stringTables.push_back({"040904b0", {{"FileVersion", "1.2.3.4"}}});
    contents.translations.push_back({0x0409, 0x04B0});
    EXPECT_EQ(WriteVersionBlock(contents), HandMadeBlock());
}

TEST(VersionBlockWriter, SeveralTablesAndNonAsciiTextRoundTrip)
{
    VersionBlockContents contents;
    contents.stringTables.push_back({"040704e4", {{"FileVersion", "4.71.1712.3"}, {"Comments", "Grüße 𝄞"}}});
    contents.stringTables.push_back({"040904b0", {{"FileVersion", "9.9"}}});
    contents.translations = {{0x0407, 0x04E4}, {0x0409, 0x04B0}};
    const Bytes block = WriteVersionBlock(contents);
    ASSERT_TRUE(IsWellFormedVersionBlock(block));
    EXPECT_EQ(VerQueryString(block, "\\StringFileInfo\\040704e4\\Comments"), "Grüße 𝄞");
    EXPECT_EQ(VerQueryString(block, "\\StringFileInfo\\040904b0\\FileVersion"), "9.9");
    EXPECT_EQ(VerStringTableKeys(block), (std::vector<std::string>{"040704e4", "040904b0"}));
    const auto first = VerFirstTranslation(block);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->language, 0x0407);
    EXPECT_EQ(first->codePage, 0x04E4);
}

TEST(VersionBlockWriter, VersionTextsForFixedInformation)
{
    const auto info = FixedInfoForVersions("4.72.3110.0", "4.72");
    ASSERT_TRUE(info);
    EXPECT_EQ(info->dwFileVersionMS, (4u << 16) | 72u);
    EXPECT_EQ(info->dwFileVersionLS, 3110u << 16);
    EXPECT_EQ(info->dwProductVersionLS, 0u);
    EXPECT_FALSE(FixedInfoForVersions("4.72.3110.0.1", "1"));
    EXPECT_FALSE(FixedInfoForVersions("4.x", "1"));
    EXPECT_FALSE(FixedInfoForVersions("70000", "1"));
    EXPECT_FALSE(FixedInfoForVersions("", "1"));
}

TEST(VersionBlock, FirstTranslationFallsBackToTheFirstTable)
{
    VersionBlockContents contents;
    contents.stringTables.push_back({"041104B0", {{"FileVersion", "1.0"}}});
    const Bytes block = WriteVersionBlock(contents);
    EXPECT_TRUE(VerQueryTranslations(block).empty());
    const auto first = VerFirstTranslation(block);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->language, 0x0411);
    EXPECT_EQ(first->codePage, 0x04B0);

    contents.stringTables[0].key = "oddkey";
    EXPECT_FALSE(VerFirstTranslation(WriteVersionBlock(contents)));
}

TEST(VersionBlock, BlockWithoutFixedInformation)
{
    VersionBlockContents contents;
    contents.fixedInfo.reset();
    contents.stringTables.push_back({"040904b0", {{"FileVersion", "1.0"}}});
    const Bytes block = WriteVersionBlock(contents);
    ASSERT_TRUE(IsWellFormedVersionBlock(block));
    EXPECT_FALSE(VerQueryFixedInfo(block));
    EXPECT_FALSE(VerQueryValue(block, "\\"));
    EXPECT_EQ(VerQueryString(block, "\\StringFileInfo\\040904b0\\FileVersion"), "1.0");
}

TEST(VersionBlock, WrongSignatureMeansNoFixedInformation)
{
    Bytes block = HandMadeBlock();
    put32(block, 40, 0x12345678);
    EXPECT_FALSE(VerQueryFixedInfo(block));
}

TEST(VersionBlockDamage, EveryTruncationIsRefused)
{
    const Bytes block = HandMadeBlock();
    for (std::size_t length = 0; length < block.size(); ++length) {
        const Bytes cut(block.begin(), block.begin() + std::ptrdiff_t(length));
        EXPECT_FALSE(IsWellFormedVersionBlock(cut)) << "length " << length;
        EXPECT_FALSE(VerQueryString(cut, "\\StringFileInfo\\040904b0\\FileVersion")) << "length " << length;
    }
}

TEST(VersionBlockDamage, ChildLongerThanItsParent)
{
    Bytes block = HandMadeBlock();
    put16(block, 152, 200); // the string node claims to run past its table
    EXPECT_FALSE(IsWellFormedVersionBlock(block));
    EXPECT_FALSE(VerQueryString(block, "\\StringFileInfo\\040904b0\\FileVersion"));
}

TEST(VersionBlockDamage, KeyWithoutTerminator)
{
    Bytes block = HandMadeBlock();
    // The Translation node ends at its key: no NUL inside the node.
    put16(block, 232, 6 + 22);
    put16(block, 200, 32 + 6 + 22);
    put16(block, 0, 200 + 32 + 28);
    block.resize(260);
    EXPECT_FALSE(IsWellFormedVersionBlock(block));
    EXPECT_TRUE(VerQueryTranslations(block).empty());
}

TEST(VersionBlockDamage, BinaryValueRunningPastItsNode)
{
    Bytes block = HandMadeBlock();
    put16(block, 234, 400);
    EXPECT_FALSE(IsWellFormedVersionBlock(block));
    EXPECT_TRUE(VerQueryTranslations(block).empty());
}

TEST(VersionBlockDamage, TextLengthCountedInBytesIsClampedToTheNode)
{
    Bytes block = HandMadeBlock();
    put16(block, 154, 16); // 16 "units" would run past the node
    ASSERT_TRUE(IsWellFormedVersionBlock(block));
    EXPECT_EQ(VerQueryString(block, "\\StringFileInfo\\040904b0\\FileVersion"), "1.2.3.4");
}

TEST(VersionBlockDamage, UnknownNodeTypeAndWrongRootKey)
{
    Bytes typed = HandMadeBlock();
    put16(typed, 156, 7);
    EXPECT_FALSE(IsWellFormedVersionBlock(typed));
    Bytes renamed = HandMadeBlock();
    put16(renamed, 6, 'X');
    EXPECT_FALSE(IsWellFormedVersionBlock(renamed));
}

// A root holding `depth` nodes, each holding the next, all well-formed alone.
Bytes nestedBlock(int depth)
{
    Bytes block;
    const char* key = "VS_VERSION_INFO";
    put16(block, 0, std::uint16_t(40 + depth * 8));
    put16(block, 2, 0);
    put16(block, 4, 0);
    for (std::size_t i = 0; i <= 15; ++i)
        put16(block, 6 + 2 * i, i < 15 ? std::uint16_t(key[i]) : 0);
    put16(block, 38, 0);
    for (int level = 0; level < depth; ++level) {
        const std::size_t at = 40 + std::size_t(level) * 8;
        put16(block, at, std::uint16_t((depth - level) * 8));
        put16(block, at + 2, 0);
        put16(block, at + 4, 1);
        put16(block, at + 6, 0); // empty key
    }
    return block;
}

TEST(VersionBlockDamage, DeepNestingIsRefused)
{
    EXPECT_TRUE(IsWellFormedVersionBlock(nestedBlock(3)));
    EXPECT_FALSE(IsWellFormedVersionBlock(nestedBlock(20)));
}

TEST(VersionBlockDamage, RandomCorruptionNeverEscapesTheBlock)
{
    const Bytes original = HandMadeBlock();
    std::mt19937 random(1234);
    int stillReadable = 0;
    for (int round = 0; round < 20000; ++round) {
        Bytes block = original;
        const int flips = 1 + int(random() % 4);
        for (int i = 0; i < flips; ++i)
            block[random() % block.size()] = std::uint8_t(random());
        const bool wellFormed = IsWellFormedVersionBlock(block);
        const auto text = VerQueryString(block, "\\StringFileInfo\\040904b0\\FileVersion");
        const auto value = VerQueryValue(block, "\\VarFileInfo\\Translation");
        if (value) {
            ASSERT_GE(value->bytes.data(), block.data());
            ASSERT_LE(value->bytes.data() + value->bytes.size(), block.data() + block.size());
        }
        if (text) {
            ASSERT_LE(text->size(), 3 * block.size());
        }
        stillReadable += wellFormed ? 1 : 0;
    }
    EXPECT_GT(stillReadable, 0); // flips inside texts leave the structure intact
}

TEST(Utf16, SurrogatePairsAndStrayHalves)
{
    const Bytes pair = Utf8ToUtf16Le("\xF0\x9D\x84\x9E"); // U+1D11E
    ASSERT_EQ(pair.size(), 4u);
    EXPECT_EQ(Utf16LeToUtf8(pair), "\xF0\x9D\x84\x9E");
    const Bytes stray = {0x00, 0xD8, 0x41, 0x00}; // high surrogate, then 'A'
    EXPECT_EQ(Utf16LeToUtf8(stray), "\xEF\xBF\xBD" "A");
    const Bytes lowFirst = {0x00, 0xDC};
    EXPECT_EQ(Utf16LeToUtf8(lowFirst), "\xEF\xBF\xBD");
    const Bytes odd = {0x41, 0x00, 0x42};
    EXPECT_EQ(Utf16LeToUtf8(odd), "A");
}

TEST(Utf16, MalformedUtf8BecomesReplacementCharacters)
{
    EXPECT_EQ(Utf16LeToUtf8(Utf8ToUtf16Le("a\xFF" "b")), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(Utf16LeToUtf8(Utf8ToUtf16Le("\xC0\x80")), "\xEF\xBF\xBD\xEF\xBF\xBD"); // overlong NUL
    EXPECT_EQ(Utf16LeToUtf8(Utf8ToUtf16Le("\xED\xA0\x80")), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(Utf16LeToUtf8(Utf8ToUtf16Le("\xE2\x82")), "\xEF\xBF\xBD\xEF\xBF\xBD"); // cut short
}

} // namespace
