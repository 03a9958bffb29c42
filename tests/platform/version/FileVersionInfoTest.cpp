// SPDX-License-Identifier: MIT
#include "TestImages.h"

#include "platform/version/FileVersionInfo.h"
#include "platform/version/VersionBlock.h"
#include "tests/support/IsolatedRun.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

using namespace dw::platform;
using namespace dw::test;

namespace {

class FileVersionInfoTest : public ::testing::Test {
protected:
    std::string path(const char* name) const { return (m_dir.path() + "/" + name).toStdString(); }
    std::string write(const char* name, const Bytes& bytes) const
    {
        const std::string file = path(name);
        EXPECT_TRUE(WriteFile(file, bytes));
        return file;
    }

    QTemporaryDir m_dir;
};

TEST_F(FileVersionInfoTest, ReadsPeAndElfFiles)
{
    for (const auto& [name, image] : {std::pair{"tool.exe", MakePe(HandMadeBlock())},
                                      std::pair{"tool.elf", MakeElf(HandMadeBlock())}}) {
        const FileVersionBlock result = GetFileVersionInfo(write(name, image));
        ASSERT_EQ(result.error, FileVersionError::None) << name;
        EXPECT_EQ(result.block, HandMadeBlock());
        FileVersionError error = FileVersionError::BadFormat;
        EXPECT_EQ(GetFileVersionInfoSize(path(name), error), HandMadeBlock().size());
        EXPECT_EQ(error, FileVersionError::None);
    }
}

TEST_F(FileVersionInfoTest, ResourceBytesAfterTheBlockAreDropped)
{
    Bytes padded = HandMadeBlock();
    padded.resize(padded.size() + 12, 0xEE);
    const FileVersionBlock result = GetFileVersionInfo(write("padded.exe", MakePe(padded)));
    ASSERT_EQ(result.error, FileVersionError::None);
    EXPECT_EQ(result.block, HandMadeBlock());
}

TEST_F(FileVersionInfoTest, MissingFile)
{
    FileVersionError error = FileVersionError::None;
    EXPECT_EQ(GetFileVersionInfoSize(path("absent.dll"), error), 0u);
    EXPECT_EQ(error, FileVersionError::FileNotFound);
    EXPECT_EQ(PlatformErrorNumber(error), 2u);
    EXPECT_EQ(GetFileVersionInfo(path("absent/below.dll")).error, FileVersionError::FileNotFound);
}

TEST_F(FileVersionInfoTest, NoVersionBlockIsResourceTypeNotFound)
{
    const FileVersionBlock pe = GetFileVersionInfo(write("plain.dll", MakePe(HandMadeBlock(), {.withVersion = false})));
    EXPECT_EQ(pe.error, FileVersionError::NoVersionInfo);
    EXPECT_EQ(PlatformErrorNumber(pe.error), 1813u);
    const FileVersionBlock elf = GetFileVersionInfo(write("plain.elf", MakeElf(HandMadeBlock(), {.sectionName = ".data"})));
    EXPECT_EQ(elf.error, FileVersionError::NoVersionInfo);
}

TEST_F(FileVersionInfoTest, FilesOfNoKnownFormat)
{
    EXPECT_EQ(GetFileVersionInfo(write("empty", {})).error, FileVersionError::BadFormat);
    EXPECT_EQ(GetFileVersionInfo(write("notes.txt", Bytes(3000, 'x'))).error, FileVersionError::BadFormat);
    EXPECT_EQ(PlatformErrorNumber(FileVersionError::BadFormat), 11u);
}

TEST_F(FileVersionInfoTest, NamesWithOddBytes)
{
    const std::string odd = path("v\xE9rsion \x01\x7F name.exe");
    ASSERT_TRUE(WriteFile(odd, MakePe(HandMadeBlock())));
    EXPECT_EQ(GetFileVersionInfo(odd).error, FileVersionError::None);
}

TEST_F(FileVersionInfoTest, DirectoriesAndPipesAreNotRead)
{
    EXPECT_EQ(GetFileVersionInfo(m_dir.path().toStdString()).error, FileVersionError::FileUnreadable);
    const std::string fifo = path("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(GetFileVersionInfo(fifo).error, FileVersionError::FileUnreadable); // must not block
}

TEST_F(FileVersionInfoTest, UnreadableFile)
{
    if (dw::test::RanAsOrdinaryUser())
        return; // root reads files whatever their mode
    const std::string file = write("locked.exe", MakePe(HandMadeBlock()));
    ASSERT_EQ(::chmod(file.c_str(), 0), 0);
    EXPECT_EQ(GetFileVersionInfo(file).error, FileVersionError::FileUnreadable);
}

} // namespace
