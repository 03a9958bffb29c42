// SPDX-License-Identifier: MIT
#include "base/exceptions/SsBase.h"
#include "base/versioninfo/SsVersionInfo.h"
#include "platform/version/ModulePath.h"
#include "platform/version/VersionBlockWriter.h"

#include "TestImages.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <clocale>
#include <cstdio>
#include <functional>

using namespace dw::platform;
using namespace dw::test;

namespace {

Bytes blockWith(std::vector<VersionStringTable> tables, std::vector<VersionTranslation> translations,
                const char* fixedVersion = "4.71.1712.3")
{
    VersionBlockContents contents;
    contents.fixedInfo = FixedInfoForVersions(fixedVersion, fixedVersion);
    contents.stringTables = std::move(tables);
    contents.translations = std::move(translations);
    return WriteVersionBlock(contents);
}

Bytes shellBlock(const std::string& fileVersion)
{
    return blockWith({{"040904b0", {{"FileVersion", fileVersion}, {"ProductVersion", fileVersion}}}},
                     {{0x0409, 0x04B0}});
}

int errorCodeOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const ESsVersionInfoError& error) {
        return error.ErrorCode();
    }
    return 0;
}

class VersionInfoTest : public ::testing::Test {
protected:
    std::string file(const char* name, const Bytes& bytes)
    {
        const std::string path = (m_dir.path() + "/" + name).toStdString();
        EXPECT_TRUE(WriteFile(path, bytes));
        return path;
    }

    QTemporaryDir m_dir;
};

TEST_F(VersionInfoTest, DefaultFileIsTheRunningProgramWithOurVersion)
{
    TSsVersionInfo info;
    EXPECT_EQ(info.GetFileName(), RunningModulePath());
    EXPECT_EQ(info.GetFileVersion(), "2.20.0.0");
    EXPECT_EQ(info.GetProductVersion(), "2.20");
    EXPECT_DOUBLE_EQ(info.GetFileVersionFloat(), 2.2);
    EXPECT_DOUBLE_EQ(info.GetProductVersionFloat(), 2.2);
    EXPECT_EQ(info.GetTranslationPrefix(), "StringFileInfo\\040904b0\\");
    EXPECT_EQ(info.GetFileMajorVersion(), (2u << 16) | 20u);
    EXPECT_EQ(info.GetCompanyName(), "Quillfen");
    EXPECT_EQ(info.GetVersion(), "1.02");
}

TEST_F(VersionInfoTest, FirstTranslationFormsThePrefix)
{
    TSsVersionInfo info;
    info.SetFileName(file("two.dll", MakePe(blockWith({{"040704E4", {{"FileVersion", "4.71.1712.3"}, {"CompanyName", "Firma"}}},
                                                        {"040904B0", {{"FileVersion", "9.9"}, {"CompanyName", "Firm"}}}},
                                                       {{0x0407, 0x04E4}, {0x0409, 0x04B0}}))));
    EXPECT_EQ(info.GetTranslationPrefix(), "StringFileInfo\\040704e4\\");
    EXPECT_EQ(info.GetLanguage(), 0x0407);
    EXPECT_EQ(info.GetCodePage(), 0x04E4);
    EXPECT_EQ(info.GetCompanyName(), "Firma");
    EXPECT_DOUBLE_EQ(info.GetFileVersionFloat(), 4.71);
}

TEST_F(VersionInfoTest, FixedInformation)
{
    TSsVersionInfo info;
    info.SetFileName(file("fixed.dll", MakePe(HandMadeBlock())));
    ASSERT_TRUE(info.HasFixedInfo());
    EXPECT_EQ(info.GetFileMajorVersion(), 0x00010002u);
    EXPECT_EQ(info.GetFileMinorVersion(), 0x00030004u);
    EXPECT_EQ(info.GetProductMajorVersion(), 0x00050006u);
    EXPECT_EQ(info.GetProductMinorVersion(), 0x00070008u);
    EXPECT_EQ(info.GetFileOS(), 0x00040004u);
    EXPECT_EQ(info.GetFileType(), 1u);
    EXPECT_EQ(info.GetFileDate(), 0u);
}

TEST_F(VersionInfoTest, VersionNumberRule)
{
    TSsVersionInfo info;
    info.SetFileName(file("shell.dll", MakePe(shellBlock("4.72.3110.0"))));
    EXPECT_EQ(info.GetFileVersion(), "4.72.3110.0");
    EXPECT_DOUBLE_EQ(info.GetFileVersionFloat(), 4.72);
}

TEST_F(VersionInfoTest, VersionTextThatIsNoNumber)
{
    TSsVersionInfo info;
    info.SetFileName(file("odd.dll", MakePe(shellBlock("four"))));
    try {
        info.GetFileVersionFloat();
        FAIL() << "no error";
    } catch (const ESsVersionInfoError& error) {
        EXPECT_EQ(error.ErrorCode(), ssscVersionNotNumber);
        EXPECT_STREQ(error.what(), "Version text is not a number: four");
    }
}

TEST_F(VersionInfoTest, CommaLocaleGivesTheSameNumber)
{
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE"))
        GTEST_SKIP() << "no German locale (scripts/install-deps makes de_DE.UTF-8)";
    TSsVersionInfo info;
    info.SetFileName(file("shell.dll", MakePe(shellBlock("4.72.3110.0"))));
    const double number = info.GetFileVersionFloat();
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_DOUBLE_EQ(number, 4.72);
}

TEST_F(VersionInfoTest, MissingFileIsRefusedAndTheNameKept)
{
    TSsVersionInfo info;
    const std::string good = file("good.dll", MakePe(shellBlock("4.71")));
    info.SetFileName(good);
    try {
        info.SetFileName((m_dir.path() + "/absent.dll").toStdString());
        FAIL() << "no error";
    } catch (const ESsVersionInfoError& error) {
        EXPECT_EQ(error.ErrorCode(), 73);
        EXPECT_STREQ(error.what(), "Error opening file");
    }
    EXPECT_EQ(info.GetFileName(), good);
    EXPECT_EQ(errorCodeOf([&] { info.SetFileName(m_dir.path().toStdString()); }), 73); // a folder
}

TEST_F(VersionInfoTest, FileRemovedAfterNamingIsAnOpenError)
{
    TSsVersionInfo info;
    const std::string path = file("gone.dll", MakePe(shellBlock("4.71")));
    info.SetFileName(path);
    ASSERT_EQ(std::remove(path.c_str()), 0);
    EXPECT_EQ(errorCodeOf([&] { info.GetFileVersion(); }), 73);
}

TEST_F(VersionInfoTest, NoVersionBlock)
{
    TSsVersionInfo info;
    info.SetFileName(file("plain.dll", MakePe(HandMadeBlock(), {.withVersion = false})));
    try {
        info.GetFileVersion();
        FAIL() << "no error";
    } catch (const ESsVersionInfoError& error) {
        EXPECT_EQ(error.ErrorCode(), 100);
        EXPECT_STREQ(error.what(), "File does not contain version info");
    }
}

TEST_F(VersionInfoTest, BrokenFilesGiveNoVersionInfo)
{
    Bytes damagedBlock = HandMadeBlock();
    put16(damagedBlock, 152, 400);
    Bytes brokenPe = MakePe(HandMadeBlock());
    put32(brokenPe, PeLayout::kDataEntry, 0xFFFFFF00u);
    for (const auto& [name, bytes] : {std::pair{"notes.txt", Bytes(100, 'x')}, std::pair{"empty", Bytes{}},
                                      std::pair{"damaged.dll", MakePe(damagedBlock)},
                                      std::pair{"broken.dll", brokenPe}}) {
        TSsVersionInfo info;
        info.SetFileName(file(name, bytes));
        EXPECT_EQ(errorCodeOf([&] { info.GetFileVersion(); }), 100) << name;
        EXPECT_EQ(errorCodeOf([&] { info.GetTranslationPrefix(); }), 100) << name;
    }
}

TEST_F(VersionInfoTest, MissingKey)
{
    TSsVersionInfo info;
    info.SetFileName(file("shell.dll", MakePe(shellBlock("4.71"))));
    try {
        info.GetKeyValue("LegalTrademarks");
        FAIL() << "no error";
    } catch (const ESsVersionInfoError& error) {
        EXPECT_EQ(error.ErrorCode(), 134);
        EXPECT_STREQ(error.what(), "The specified key cannnot be found in version info");
    }
    EXPECT_EQ(errorCodeOf([&] { info.GetKeyValue(""); }), 134);
    EXPECT_EQ(errorCodeOf([&] { info.GetKeyValue("FileVersion\\x"); }), 134);
}

TEST_F(VersionInfoTest, BlockWithoutTranslationOrTables)
{
    TSsVersionInfo info;
    info.SetFileName(file("bare.dll", MakePe(blockWith({}, {}))));
    EXPECT_EQ(info.GetTranslationPrefix(), "");
    EXPECT_EQ(errorCodeOf([&] { info.GetFileVersion(); }), 134);
    EXPECT_TRUE(info.HasFixedInfo());
}

TEST_F(VersionInfoTest, ChangingTheNameForgetsWhatWasRead)
{
    TSsVersionInfo info;
    info.SetFileName(file("a.dll", MakePe(shellBlock("4.71"))));
    EXPECT_DOUBLE_EQ(info.GetFileVersionFloat(), 4.71);
    info.SetFileName(file("b.dll", MakePe(shellBlock("4.00.950"))));
    EXPECT_DOUBLE_EQ(info.GetFileVersionFloat(), 4.0);
    info.SetFileName("");
    EXPECT_EQ(info.GetFileName(), RunningModulePath());
    EXPECT_EQ(info.GetFileVersion(), "2.20.0.0");
}

TEST_F(VersionInfoTest, PublishedProperties)
{
    TSsVersionInfo info;
    const std::string path = file("shell.dll", MakePe(shellBlock("4.72.3110.0")));
    EXPECT_TRUE(info.setProperty("FileName", QString::fromStdString(path)));
    EXPECT_EQ(info.property("FileName").toString().toStdString(), path);
    EXPECT_EQ(info.property("FileVersion").toString(), "4.72.3110.0");
    EXPECT_DOUBLE_EQ(info.property("FileVersionFloat").toDouble(), 4.72);
    info.setProperty("Version", "3.0");
    EXPECT_EQ(info.property("Version").toString(), "1.02");
}

} // namespace
