// SPDX-License-Identifier: MIT
#include "TestImages.h"

#include "platform/version/ByteSource.h"
#include "platform/version/ElfSection.h"
#include "platform/version/FileVersionInfo.h"
#include "platform/version/ModulePath.h"
#include "platform/version/ShellVersion.h"
#include "platform/version/VersionBlock.h"

#include <gtest/gtest.h>

using namespace dw::platform;
using namespace dw::test;

namespace {

ElfSectionResult findIn(const Bytes& image, std::string_view name = ".dwversion")
{
    return FindElfSection(MemoryByteSource(image), name, 0xFFFF);
}

TEST(ElfSection, EveryClassAndByteOrder)
{
    for (bool is64 : {false, true}) {
        for (bool big : {false, true}) {
            const ElfSectionResult result = findIn(MakeElf(HandMadeBlock(), {.is64 = is64, .bigEndian = big}));
            ASSERT_EQ(result.status, ResourceLookup::Found) << is64 << big;
            EXPECT_EQ(result.bytes, HandMadeBlock());
        }
    }
}

TEST(ElfSection, MissingSectionAndOtherFiles)
{
    EXPECT_EQ(findIn(MakeElf(HandMadeBlock(), {.sectionName = ".other"})).status, ResourceLookup::NoResource);
    EXPECT_EQ(findIn(MakeElf(HandMadeBlock()), ".dwversio").status, ResourceLookup::NoResource);
    EXPECT_EQ(findIn(Bytes{0x7F, 'E', 'L'}).status, ResourceLookup::NotThisFormat);
    Bytes badClass = MakeElf(HandMadeBlock());
    badClass[4] = 3;
    EXPECT_EQ(findIn(badClass).status, ResourceLookup::NotThisFormat);
}

TEST(ElfSection, LongerSectionIsCutToTheLimit)
{
    Bytes contents = HandMadeBlock();
    contents.resize(contents.size() + 100, 0);
    const ElfSectionResult result = FindElfSection(MemoryByteSource(MakeElf(contents)), ".dwversion", 50);
    ASSERT_EQ(result.status, ResourceLookup::Found);
    EXPECT_EQ(result.bytes.size(), 50u);
}

TEST(ElfSectionDamage, HeaderTablePastTheEnd)
{
    Bytes image = MakeElf(HandMadeBlock());
    put64(image, 0x28, image.size() - 10);
    EXPECT_EQ(findIn(image).status, ResourceLookup::Malformed);
    put64(image, 0x28, ~std::uint64_t(0) - 8);
    EXPECT_EQ(findIn(image).status, ResourceLookup::Malformed);
}

TEST(ElfSectionDamage, NameTableIndexOutOfRange)
{
    Bytes image = MakeElf(HandMadeBlock());
    put16(image, 0x3E, 40);
    EXPECT_EQ(findIn(image).status, ResourceLookup::Malformed);
}

TEST(ElfSectionDamage, SectionContentsPastTheEnd)
{
    Bytes image = MakeElf(HandMadeBlock());
    const std::size_t header = ElfSectionHeaderTable(image, true) + 2 * 64;
    put64(image, header + 0x20, 0x10000000); // size
    EXPECT_EQ(findIn(image).status, ResourceLookup::Malformed);
    put64(image, header + 0x20, HandMadeBlock().size());
    put64(image, header + 0x18, ~std::uint64_t(0) - 4); // offset
    EXPECT_EQ(findIn(image).status, ResourceLookup::Malformed);
}

TEST(ElfSectionDamage, NameOffsetOutsideTheNameTable)
{
    Bytes image = MakeElf(HandMadeBlock());
    const std::size_t header = ElfSectionHeaderTable(image, true) + 2 * 64;
    put32(image, header, 0x7FFFFFFF);
    EXPECT_EQ(findIn(image).status, ResourceLookup::NoResource);
}

TEST(ElfSectionDamage, SmallEntrySize)
{
    Bytes image = MakeElf(HandMadeBlock());
    put16(image, 0x3A, 8);
    EXPECT_EQ(findIn(image).status, ResourceLookup::Malformed);
}

TEST(ElfSectionDamage, HugeSectionCountThroughExtendedNumbering)
{
    Bytes image = MakeElf(HandMadeBlock());
    put16(image, 0x3C, 0); // count 0: the real count is section 0's size
    const std::size_t table = ElfSectionHeaderTable(image, true);
    put64(image, table + 0x20, std::uint64_t(1) << 40);
    EXPECT_EQ(findIn(image).status, ResourceLookup::Malformed);
    put64(image, table + 0x20, 4); // the honest count
    EXPECT_EQ(findIn(image).status, ResourceLookup::Found);
}

TEST(ElfSectionDamage, NameTableIndexThroughExtendedNumbering)
{
    Bytes image = MakeElf(HandMadeBlock());
    put16(image, 0x3E, 0xFFFF); // the index sits in section 0's link field
    const std::size_t table = ElfSectionHeaderTable(image, true);
    put32(image, table + 0x28, 3);
    EXPECT_EQ(findIn(image).status, ResourceLookup::Found);
    put32(image, table + 0x28, 99);
    EXPECT_EQ(findIn(image).status, ResourceLookup::Malformed);
}

TEST(ElfSectionDamage, EveryTruncationEndsCleanly)
{
    const Bytes image = MakeElf(HandMadeBlock());
    for (std::size_t length = 0; length < image.size(); ++length) {
        const Bytes cut(image.begin(), image.begin() + std::ptrdiff_t(length));
        EXPECT_NE(findIn(cut).status, ResourceLookup::Found) << "length " << length;
    }
}

// This test program links the programs' version block and the shell's.
TEST(ElfSection, OwnExecutableCarriesBothBlocks)
{
    const std::string self = RunningModulePath();
    const FileVersionBlock own = GetFileVersionInfo(self);
    ASSERT_EQ(own.error, FileVersionError::None) << self;
    EXPECT_EQ(VerQueryString(own.block, "\\StringFileInfo\\040904b0\\FileVersion"), "2.20.0.0");
    EXPECT_EQ(VerQueryString(own.block, "\\StringFileInfo\\040904b0\\ProductName"), "Datewright Converter");
    const auto fixed = VerQueryFixedInfo(own.block);
    ASSERT_TRUE(fixed);
    EXPECT_EQ(fixed->dwFileVersionMS, (2u << 16) | 20u);

    // The shell's block travels with the shell layer's code: in the shell
    // controls' library, or in the program when it takes them statically.
    const std::string shellModule = SystemShellModulePath();
    const FileVersionBlock shell = GetFileVersionInfo(shellModule, kShellVersionSectionName);
    ASSERT_EQ(shell.error, FileVersionError::None) << shellModule;
    EXPECT_EQ(VerQueryString(shell.block, "\\StringFileInfo\\040904b0\\FileVersion"), "4.72.3110.0");
    // A library holds no program's version: each program brings its own.
    if (shellModule != self) {
        EXPECT_EQ(GetFileVersionInfo(shellModule).error, FileVersionError::NoVersionInfo) << shellModule;
    }
}

} // namespace
