// SPDX-License-Identifier: MIT
#include "platform/fileinfo/FileInfo.h"

#include "NamespaceFixture.h"

#include <gtest/gtest.h>

using namespace dw::platform;
using namespace dw::platform::testing;

namespace {

constexpr unsigned kIconQuery = SHGFI_PIDL | SHGFI_DISPLAYNAME | SHGFI_ATTRIBUTES | SHGFI_SYSICONINDEX
    | SHGFI_ATTR_SPECIFIED;

ShFileInfo infoOf(const std::string& parsingName, unsigned flags = kIconQuery,
                  SfgaoFlags attributes = SFGAO_FOLDER | SFGAO_LINK | SFGAO_SHARE)
{
    ShFileInfo info;
    const IdListPtr id = parsingNameToIdList(parsingName);
    EXPECT_TRUE(id) << parsingName;
    EXPECT_TRUE(SHGetFileInfo(id.get(), attributes, info, flags)) << parsingName;
    return info;
}

std::string themeNameOf(const ShFileInfo& info)
{
    return SystemImageList::keyAt(info.iIcon).themeName;
}

} // namespace

TEST(FileInfo, EmptyPathAnswersTheSystemImageLists)
{
    ShFileInfo info;
    EXPECT_EQ(SHGetFileInfo(nullptr, 0, info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON), &SystemImageList::small());
    EXPECT_EQ(SHGetFileInfo(nullptr, 0, info, SHGFI_SYSICONINDEX), &SystemImageList::large());
    EXPECT_EQ(SHGetFileInfo(nullptr, 0, info, SHGFI_DISPLAYNAME), nullptr);
}

TEST(FileInfo, NameAttributesAndIconOfAFolder)
{
    TempNamespace ns;
    ns.makeFolder("home/Calendars");
    const ShFileInfo info = infoOf(ns.home + "/Calendars");
    EXPECT_EQ(info.szDisplayName, "Calendars");
    EXPECT_EQ(info.dwAttributes, SFGAO_FOLDER); // only what was asked
    EXPECT_EQ(themeNameOf(info), "folder");
    const ShFileInfo open = infoOf(ns.home + "/Calendars", SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_OPENICON);
    EXPECT_EQ(themeNameOf(open), "folder-open");
}

TEST(FileInfo, VirtualFoldersHaveTheirOwnIcons)
{
    TempNamespace ns;
    EXPECT_EQ(themeNameOf(infoOf("computer:///")), "computer");
    EXPECT_EQ(themeNameOf(infoOf("network:///")), "network-workgroup");
    EXPECT_EQ(themeNameOf(infoOf(ns.home)), "folder");
    EXPECT_EQ(themeNameOf(infoOf("trash:///")), "user-trash");
    ns.trashFile("old.dw2", "/somewhere/old.dw2");
    EXPECT_EQ(themeNameOf(infoOf("trash:///")), "user-trash-full");
    EXPECT_EQ(themeNameOf(infoOf("")), "user-desktop");
}

TEST(FileInfo, FilesShareTheIconOfTheirType)
{
    TempNamespace ns;
    ns.makeFile("home/a.txt");
    ns.makeFile("home/B.TXT");
    ns.makeFile("home/c.png");
    const int a = infoOf(ns.home + "/a.txt").iIcon;
    EXPECT_EQ(infoOf(ns.home + "/B.TXT").iIcon, a);
    EXPECT_NE(infoOf(ns.home + "/c.png").iIcon, a);
}

TEST(FileInfo, TypeNames)
{
    TempNamespace ns;
    ns.makeFolder("home/Calendars");
    ns.makeFile("home/a.txt");
    EXPECT_EQ(infoOf(ns.home + "/Calendars", SHGFI_PIDL | SHGFI_TYPENAME).szTypeName, "Folder");
    EXPECT_FALSE(infoOf(ns.home + "/a.txt", SHGFI_PIDL | SHGFI_TYPENAME).szTypeName.empty());
    EXPECT_EQ(infoOf("computer:///", SHGFI_PIDL | SHGFI_TYPENAME).szTypeName, "System Folder");
    EXPECT_EQ(typeNameOfPath("/x/y", true), "Folder");
}

TEST(FileInfo, ItemsThatAreGoneAnswerNothing)
{
    TempNamespace ns;
    const std::string file = ns.makeFile("home/gone.dw2");
    const IdListPtr id = parsingNameToIdList(file);
    std::remove(file.c_str());
    ShFileInfo info;
    EXPECT_EQ(SHGetFileInfo(id.get(), SFGAO_VALIDATE, info, kIconQuery), nullptr);
}
