// SPDX-License-Identifier: MIT
// The default calendar folder as the window reads it at start, from a
// temporary settings file and a temporary Wine prefix.

#include "app/settings/DefaultCalendarDir.h"
#include "platform/settings/RegistryErrors.h"
#include "platform/settings/Utf16Text.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using dw::app::ERegistryException;
using dw::app::readDefaultCalendarDir;
using dw::test::readFile;
using dw::test::writeFile;

namespace {

const std::string header = "Windows Registry Editor Version 5.00\n\n";
const std::string section = "[Software\\Quillfen\\Datewright 2]\n";

class DefaultCalendarDir : public ::testing::Test {
protected:
    dw::test::TempFolder home;
    fs::path settings = home / ".config/datewright-converter/current-user.reg";
    fs::path wine = home / ".wine";
    dw::app::SettingSources sources{settings.string(), wine.string()};

    std::string readWithValue(const std::string& valueLine)
    {
        fs::create_directories(settings.parent_path());
        writeFile(settings, header + section + "\"DefaultCalendarDir\"=" + valueLine + "\n");
        return readDefaultCalendarDir(sources);
    }

    void makeWinePrefix(const std::string& valueLine)
    {
        fs::create_directories(wine / "drive_c");
        fs::create_directories(wine / "dosdevices");
        fs::create_symlink("../drive_c", wine / "dosdevices/c:");
        writeFile(wine / "user.reg", "WINE REGISTRY Version 2\n\n[Software\\\\Quillfen\\\\Datewright 2] 1700000000\n"
                                     "\"DefaultCalendarDir\"=" + valueLine + "\n");
    }
};

TEST_F(DefaultCalendarDir, AMissingKeyIsMadeAndGivesTheEmptyString)
{
    EXPECT_EQ(readDefaultCalendarDir(sources), "");
    EXPECT_EQ(readFile(settings), header + "[Software\\Quillfen]\n");

    writeFile(settings, header + section + "\"Other\"=\"x\"\n");
    EXPECT_EQ(readDefaultCalendarDir(sources), "");
    EXPECT_EQ(readFile(settings), header + section + "\"Other\"=\"x\"\n");
}

TEST_F(DefaultCalendarDir, StringsAreTakenAsStoredUpToTheirFirstNul)
{
    EXPECT_EQ(readWithValue("\"/home/ann/Calendars\""), "/home/ann/Calendars");
    EXPECT_EQ(readWithValue("\"/srv/Cal, \\\"Work\\\" \\\\ \xC3\x85r 2024/\""), "/srv/Cal, \"Work\" \\ \xC3\x85r 2024/");
    // "$HOME/Cal" and "%HOME%\Cal\0rest" as expandable strings, not expanded
    EXPECT_EQ(readWithValue("hex(2):24,00,48,00,4f,00,4d,00,45,00,2f,00,43,00,61,00,6c,00,00,00"), "$HOME/Cal");
    EXPECT_EQ(readWithValue("hex(2):25,00,48,00,4f,00,4d,00,45,00,25,00,5c,00,43,00,00,00,72,00,00,00"), "%HOME%\\C");
    EXPECT_EQ(readWithValue("hex(1):2f,00,61,00,00,00,2f,00,62,00"), "/a");
    EXPECT_EQ(readWithValue("\"\""), "");
}

TEST_F(DefaultCalendarDir, AnyOtherTypeIsAnInvalidDataType)
{
    for (const char* valueLine : {"dword:00000001", "hex:2f,61", "hex(7):2f,00,00,00,00,00", "hex(0):"}) {
        try {
            readWithValue(valueLine);
            ADD_FAILURE() << "accepted " << valueLine;
        } catch (const ERegistryException& error) {
            EXPECT_STREQ(error.what(), "Invalid data type for 'DefaultCalendarDir'");
        }
    }
}

TEST_F(DefaultCalendarDir, ADamagedFileIsLeftAsItIsAndNamedWithItsLine)
{
    fs::create_directories(settings.parent_path());
    const std::string damaged = header + "[Software\\Quillfen]\n\"DefaultCalendarDir\"=/home/ann\n";
    writeFile(settings, damaged);
    makeWinePrefix("\"C:\\\\Calendars\"");
    try {
        readDefaultCalendarDir(sources);
        FAIL() << "a damaged file was read";
    } catch (const dw::platform::ERegistryFileError& error) {
        EXPECT_EQ(std::string(error.what()).find("Damaged settings file " + settings.string() + " at line 4"), 0u)
            << error.what();
    }
    EXPECT_EQ(readFile(settings), damaged);
    EXPECT_EQ(dw::test::listNames(settings.parent_path()), "current-user.reg;");
}

TEST_F(DefaultCalendarDir, AUtf16FileWithAStrayLastByteIsRefusedAtEveryStartAndNeverWritten)
{
    // An export saved as UTF-16, then a byte added by something that writes
    // 8-bit text: the key made at start would go in at an odd offset.
    fs::create_directories(settings.parent_path());
    const std::string even = "\xFF\xFE" + dw::platform::utf16LeFromUtf8(header + "[Other]\n\"A\"=\"1\"\n");
    writeFile(settings, even + "\n");
    for (int start = 1; start <= 2; ++start) {
        try {
            readDefaultCalendarDir(sources);
            ADD_FAILURE() << "start " << start << " took a file ending in half a character";
        } catch (const dw::platform::ERegistryFileError& error) {
            EXPECT_EQ(std::string(error.what()).find("Damaged settings file " + settings.string() + " at line 5"), 0u)
                << error.what();
        }
        EXPECT_EQ(readFile(settings), even + "\n");
    }
    EXPECT_EQ(dw::test::listNames(settings.parent_path()), "current-user.reg;");

    // Without the stray byte the key goes in as UTF-16, and the next start
    // reads the file as well.
    writeFile(settings, even);
    EXPECT_EQ(readDefaultCalendarDir(sources), "");
    EXPECT_EQ(readFile(settings), even + dw::platform::utf16LeFromUtf8("\n[Software\\Quillfen]\n"));
    EXPECT_EQ(readDefaultCalendarDir(sources), "");
}

TEST_F(DefaultCalendarDir, WithoutAValueTheWinePrefixIsAskedAndItsDriveMapped)
{
    makeWinePrefix("\"C:\\\\Users\\\\ann\\\\Calendars\"");
    const auto before = fs::last_write_time(wine / "user.reg");
    EXPECT_EQ(readDefaultCalendarDir(sources), wine.string() + "/drive_c/Users/ann/Calendars");
    EXPECT_EQ(fs::last_write_time(wine / "user.reg"), before);
    EXPECT_EQ(dw::test::listNames(wine), "dosdevices;drive_c;user.reg;");

    EXPECT_EQ(readWithValue("\"/ours/wins\""), "/ours/wins");
    EXPECT_EQ(readWithValue("\"\""), "");
    sources.winePrefix.clear();
    fs::remove(settings);
    EXPECT_EQ(readDefaultCalendarDir(sources), "");
}

TEST_F(DefaultCalendarDir, AWrongTypeInTheWinePrefixIsAnInvalidDataTypeToo)
{
    makeWinePrefix("dword:00000001");
    EXPECT_THROW(readDefaultCalendarDir(sources), ERegistryException);
}

} // namespace
