// SPDX-License-Identifier: MIT
#include "TestImages.h"

#include "platform/version/ModulePath.h"
#include "platform/version/ShellVersion.h"
#include "platform/version/VersionBlockWriter.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QtGlobal>

#include <filesystem>

using namespace dw::platform;
using namespace dw::test;

namespace {

Bytes shellBlock(const std::string& fileVersion)
{
    VersionBlockContents contents;
    contents.stringTables.push_back({"040904B0", {{"FileVersion", fileVersion}}});
    contents.translations.push_back({0x0409, 0x04B0});
    return WriteVersionBlock(contents);
}

class ShellVersionTest : public ::testing::Test {
protected:
    void TearDown() override { SetSystemShellModulePath({}); }

    std::string shellFile(const char* name, const Bytes& image)
    {
        const std::string path = (m_dir.path() + "/" + name).toStdString();
        EXPECT_TRUE(WriteFile(path, image));
        return path;
    }

    QTemporaryDir m_dir;
};

// The block travels with the shell controls' code: in their shared library
// when the program links that, in the program itself otherwise.
TEST_F(ShellVersionTest, DefaultIsTheShellTheControlsCarry)
{
    const std::string expected = std::string(DW_SHELL_LIBRARY_FILE).empty() ? RunningModulePath()
                                                                            : std::string(DW_SHELL_LIBRARY_FILE);
    EXPECT_TRUE(std::filesystem::equivalent(SystemShellModulePath(), expected)) << SystemShellModulePath();
    EXPECT_DOUBLE_EQ(SystemShellVersion(), 4.72);
}

TEST_F(ShellVersionTest, ModulePathOfTellsTheProgramFromALibrary)
{
    static const int inThisProgram = 0;
    EXPECT_EQ(ModulePathOf(&inThisProgram), RunningModulePath());
    const std::string library = ModulePathOf(reinterpret_cast<const void*>(&qVersion));
    EXPECT_NE(library, RunningModulePath());
    EXPECT_TRUE(std::filesystem::exists(library)) << library;
}

TEST_F(ShellVersionTest, OverriddenPathPresentsAnotherShell)
{
    SetSystemShellModulePath(shellFile("shell471.dll", MakePe(shellBlock("4.71.1712.3"))));
    EXPECT_DOUBLE_EQ(SystemShellVersion(), 4.71);
    SetSystemShellModulePath(shellFile("shell400.dll", MakePe(shellBlock("4.00.950"))));
    EXPECT_DOUBLE_EQ(SystemShellVersion(), 4.0);
    SetSystemShellModulePath(shellFile("shell.so", MakeElf(shellBlock("5.0"))));
    EXPECT_DOUBLE_EQ(SystemShellVersion(), 5.0);
    SetSystemShellModulePath({});
    EXPECT_DOUBLE_EQ(SystemShellVersion(), 4.72);
}

TEST_F(ShellVersionTest, ElfShellSectionWinsOverTheFilesOwnBlock)
{
    Bytes elf = MakeElf(shellBlock("3.0"), {.sectionName = ".dwshellversion"});
    EXPECT_DOUBLE_EQ(ReadShellModuleVersion(shellFile("both", elf)).value(), 3.0);
}

TEST_F(ShellVersionTest, UnreadableShellCountsAsTheOldest)
{
    SetSystemShellModulePath((m_dir.path() + "/missing.dll").toStdString());
    EXPECT_EQ(SystemShellVersion(), 0.0);
    SetSystemShellModulePath(shellFile("noversion.dll", MakePe(shellBlock("4.72"), {.withVersion = false})));
    EXPECT_EQ(SystemShellVersion(), 0.0);
    SetSystemShellModulePath(shellFile("garbled.dll", MakePe(shellBlock("four point seven"))));
    EXPECT_EQ(SystemShellVersion(), 0.0);
}

TEST(ShellVersionGate, NewerSpecialFoldersNeedShell47)
{
    for (int csidl : {1, 29, 30, 31, 32, 33, 34}) {
        EXPECT_TRUE(SpecialFolderNeedsNewShell(csidl)) << csidl;
        EXPECT_FALSE(ShellSupportsSpecialFolder(csidl, 4.0)) << csidl;
        EXPECT_FALSE(ShellSupportsSpecialFolder(csidl, 4.69)) << csidl;
        EXPECT_TRUE(ShellSupportsSpecialFolder(csidl, 4.7)) << csidl;
        EXPECT_TRUE(ShellSupportsSpecialFolder(csidl, 4.71)) << csidl;
    }
    for (int csidl : {0, 2, 5, 17, 28, 35, 36, -1}) {
        EXPECT_FALSE(SpecialFolderNeedsNewShell(csidl)) << csidl;
        EXPECT_TRUE(ShellSupportsSpecialFolder(csidl, 0.0)) << csidl;
    }
}

} // namespace
