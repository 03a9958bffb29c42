// SPDX-License-Identifier: MIT
// A Wine prefix's registry file and its drive links, read as Wine means them.

#include "platform/settings/WineDrivePaths.h"
#include "platform/settings/WineRegistry.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using namespace dw::platform;

namespace {

const std::string userReg = "WINE REGISTRY Version 2\n"
                            ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n"
                            "\n#arch=win64\n\n"
                            "[Software\\\\Quillfen\\\\Datewright] 1700000000\n"
                            "#time=1da0c6f2b8e4a10\n"
                            "\"DefaultCalendarDir\"=\"C:\\\\wrong key\"\n\n"
                            "[Software\\\\Quillfen\\\\Datewright 2] 1700000001\n"
                            "#time=1da0c6f2b8e4a11\n"
                            "this line is not understood and passed over\n"
                            "\"DefaultCalendarDir\"=\"C:\\\\Users\\\\\\x00c5sa\\\\\\\"Cal\\\"\\n\\xd83d\\xdcc5\"\n"
                            "\"Template\"=str(2):\"%USERPROFILE%\\\\Calendars\"\n"
                            "\"Wide\"=hex(2):43,00,3a,00,5c,00,\\\n  41,00,00,00\n"
                            "\"Count\"=dword:00000010\n"
                            "@=\"default\"\n";

TEST(WineRegistry, FindsTheValueOfTheRightKeyWithWinesEscapes)
{
    const std::string key = "Software\\Quillfen\\Datewright 2";
    EXPECT_EQ(findWineRegistryValue(userReg, key, "defaultcalendardir"),
              RegistryValue::string("C:\\Users\\\xC3\x85sa\\\"Cal\"\n\xF0\x9F\x93\x85"));
    EXPECT_EQ(findWineRegistryValue(userReg, key, "Template"),
              RegistryValue::expandString("%USERPROFILE%\\Calendars"));
    EXPECT_EQ(findWineRegistryValue(userReg, key, "Wide"), RegistryValue::expandString("C:\\A"));
    EXPECT_EQ(findWineRegistryValue(userReg, key, "Count"), RegistryValue::dword(16));
    EXPECT_EQ(findWineRegistryValue(userReg, key, ""), RegistryValue::string("default"));
    EXPECT_FALSE(findWineRegistryValue(userReg, key, "Missing"));
    EXPECT_FALSE(findWineRegistryValue(userReg, "Software\\Other", "DefaultCalendarDir"));
    EXPECT_FALSE(findWineRegistryValue("REGEDIT4\n" + userReg.substr(24), key, "Count"));
}

TEST(WineDrivePaths, MapTheDriveThroughTheDosdevicesLinks)
{
    dw::test::TempFolder prefix;
    fs::create_directories(prefix / "drive_c/Users");
    fs::create_directories(prefix / "dosdevices");
    fs::create_symlink("../drive_c", prefix / "dosdevices/c:");
    fs::create_symlink("/", prefix / "dosdevices/z:");
    fs::create_symlink("/media/ann/Stick/", prefix / "dosdevices/e:");
    const std::string wine = prefix.path().string();

    EXPECT_EQ(linuxPathOfWinePath("C:\\Users\\ann\\Calendars", wine), wine + "/drive_c/Users/ann/Calendars");
    EXPECT_EQ(linuxPathOfWinePath("c:", wine), wine + "/drive_c");
    EXPECT_EQ(linuxPathOfWinePath("Z:\\home\\Ann\\Cal\\", wine), "/home/Ann/Cal/");
    EXPECT_EQ(linuxPathOfWinePath("Z:\\", wine), "/");
    EXPECT_EQ(linuxPathOfWinePath("E:\\Work", wine), "/media/ann/Stick/Work");
    EXPECT_EQ(linuxPathOfWinePath("D:\\no link", wine), "D:\\no link");
    EXPECT_EQ(linuxPathOfWinePath("\\\\server\\share", wine), "\\\\server\\share");
    EXPECT_EQ(linuxPathOfWinePath("Cal:endar", wine), "Cal:endar");
}

} // namespace
