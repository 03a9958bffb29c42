// SPDX-License-Identifier: MIT
#include "TestImages.h"

#include "platform/version/ByteSource.h"
#include "platform/version/FileVersionInfo.h"
#include "platform/version/PeVersionResource.h"
#include "platform/version/VersionBlock.h"
#include "platform/version/VersionBlockWriter.h"

#include <gtest/gtest.h>

#include <random>

using namespace dw::platform;
using namespace dw::test;
using L = PeLayout;

namespace {

PeVersionResult findIn(const Bytes& image)
{
    return FindPeVersionResource(MemoryByteSource(image));
}

Bytes twoTranslationBlock()
{
    VersionBlockContents contents;
    contents.fixedInfo = FixedInfoForVersions("4.71.1712.3", "4.71.1712.3");
    contents.stringTables.push_back({"040704E4", {{"FileVersion", "4.71.1712.3"}, {"CompanyName", "Firma"}}});
    contents.stringTables.push_back({"040904B0", {{"FileVersion", "4.71.1712.3 (English)"}}});
    contents.translations = {{0x0407, 0x04E4}, {0x0409, 0x04B0}};
    return WriteVersionBlock(contents);
}

TEST(PeVersion, FindsTheBlockInPe32AndPe32Plus)
{
    for (bool plus : {false, true}) {
        const PeVersionResult result = findIn(MakePe(HandMadeBlock(), {.pe32Plus = plus}));
        ASSERT_EQ(result.status, ResourceLookup::Found) << (plus ? "PE32+" : "PE32");
        EXPECT_EQ(result.block, HandMadeBlock());
    }
}

TEST(PeVersion, SeveralTranslationsTheFirstNamesTheTable)
{
    const PeVersionResult result = findIn(MakePe(twoTranslationBlock()));
    ASSERT_EQ(result.status, ResourceLookup::Found);
    const auto first = VerFirstTranslation(result.block);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->language, 0x0407);
    EXPECT_EQ(first->codePage, 0x04E4);
    EXPECT_EQ(VerQueryString(result.block, "\\StringFileInfo\\040704e4\\CompanyName"), "Firma");
    EXPECT_EQ(VerQueryTranslations(result.block).size(), 2u);
}

TEST(PeVersion, SoundFileWithoutVersion)
{
    EXPECT_EQ(findIn(MakePe(HandMadeBlock(), {.withVersion = false})).status, ResourceLookup::NoResource);
    EXPECT_EQ(findIn(MakePe(HandMadeBlock(), {.withResources = false})).status, ResourceLookup::NoResource);
}

TEST(PeVersion, OtherFilesAreNotPe)
{
    EXPECT_EQ(findIn(Bytes{}).status, ResourceLookup::NotThisFormat);
    EXPECT_EQ(findIn(Bytes{'M', 'Z'}).status, ResourceLookup::NotThisFormat);
    Bytes text(200, 'a');
    EXPECT_EQ(findIn(text).status, ResourceLookup::NotThisFormat);
    Bytes badOffset = MakePe(HandMadeBlock());
    put32(badOffset, 0x3C, 0xFFFFFFF0u); // PE header far past the end
    EXPECT_EQ(findIn(badOffset).status, ResourceLookup::NotThisFormat);
}

TEST(PeVersionDamage, DamagedHeaders)
{
    Bytes manySections = MakePe(HandMadeBlock());
    put16(manySections, L::kCoff + 2, 0xFFFF);
    EXPECT_EQ(findIn(manySections).status, ResourceLookup::Malformed);

    Bytes hugeOptional = MakePe(HandMadeBlock());
    put16(hugeOptional, L::kCoff + 16, 0xFFFF);
    EXPECT_EQ(findIn(hugeOptional).status, ResourceLookup::Malformed);

    Bytes badMagic = MakePe(HandMadeBlock());
    put16(badMagic, L::kOptional, 0x1234);
    EXPECT_EQ(findIn(badMagic).status, ResourceLookup::Malformed);
}

TEST(PeVersionDamage, HugeDirectoryEntryCount)
{
    Bytes image = MakePe(HandMadeBlock());
    put16(image, L::kTypeDir + 12, 0xFFFF);
    put16(image, L::kTypeDir + 14, 0xFFFF);
    EXPECT_EQ(findIn(image).status, ResourceLookup::Malformed);
}

TEST(PeVersionDamage, ResourceTreeOffsetsOutsideTheSection)
{
    Bytes subdirectory = MakePe(HandMadeBlock());
    put32(subdirectory, L::kTypeDir + 28, 0x80000000u | 0x7FFFFFF0u);
    EXPECT_EQ(findIn(subdirectory).status, ResourceLookup::Malformed);

    Bytes dataRva = MakePe(HandMadeBlock());
    put32(dataRva, L::kDataEntry, 0xFFFFFF00u);
    EXPECT_EQ(findIn(dataRva).status, ResourceLookup::Malformed);

    Bytes dataSize = MakePe(HandMadeBlock());
    put32(dataSize, L::kDataEntry + 4, 0x00FFFFFFu);
    EXPECT_EQ(findIn(dataSize).status, ResourceLookup::Malformed);

    Bytes pastFile = MakePe(HandMadeBlock());
    const std::size_t section = L::sectionTable(false);
    put32(pastFile, section + 20, 0x7FFFFF00u); // raw data past the end of the file
    EXPECT_EQ(findIn(pastFile).status, ResourceLookup::Malformed);
}

TEST(PeVersionDamage, DataWhereADirectoryBelongs)
{
    Bytes image = MakePe(HandMadeBlock());
    put32(image, L::kNameDir + 20, std::uint32_t(L::kDataEntry - L::kRsrcFile)); // no subdirectory bit
    EXPECT_EQ(findIn(image).status, ResourceLookup::Malformed);
}

TEST(PeVersionDamage, DirectoryPointingAtItselfEnds)
{
    Bytes image = MakePe(HandMadeBlock());
    put32(image, L::kLangDir + 20, 0x80000000u | std::uint32_t(L::kLangDir - L::kRsrcFile));
    EXPECT_EQ(findIn(image).status, ResourceLookup::Malformed);
}

TEST(PeVersionDamage, EveryTruncationEndsCleanly)
{
    const Bytes image = MakePe(HandMadeBlock());
    for (std::size_t length = 0; length < image.size(); ++length) {
        const Bytes cut(image.begin(), image.begin() + std::ptrdiff_t(length));
        const PeVersionResult result = findIn(cut);
        EXPECT_NE(result.status, ResourceLookup::Found) << "length " << length;
        EXPECT_NE(GetVersionInfoFromSource(MemoryByteSource(cut)).error, FileVersionError::None);
    }
}

TEST(PeVersionDamage, RandomCorruptionOfHeadersAndTree)
{
    const Bytes original = MakePe(HandMadeBlock(), {.pe32Plus = true});
    std::mt19937 random(99);
    for (int round = 0; round < 5000; ++round) {
        Bytes image = original;
        for (int i = 0; i < 3; ++i)
            image[random() % L::kBlock] = std::uint8_t(random());
        const FileVersionBlock block = GetVersionInfoFromSource(MemoryByteSource(image));
        if (block.error == FileVersionError::None) {
            ASSERT_TRUE(IsWellFormedVersionBlock(block.block));
        }
    }
}

TEST(PeVersion, DamagedBlockInsideSoundFile)
{
    Bytes block = HandMadeBlock();
    put16(block, 152, 400);
    const FileVersionBlock result = GetVersionInfoFromSource(MemoryByteSource(MakePe(block)));
    EXPECT_EQ(result.error, FileVersionError::VersionInfoDamaged);
    EXPECT_TRUE(result.block.empty());
}

} // namespace
