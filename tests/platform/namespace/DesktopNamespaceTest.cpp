// SPDX-License-Identifier: MIT
#include "NamespaceFixture.h"

#include "platform/namespace/IdRecord.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace dw::platform;
using namespace dw::platform::testing;

namespace {

std::vector<std::string> namesOf(IShellFolder& folder, ShcontfFlags flags, ShgdnFlags nameFlags = SHGDN_NORMAL)
{
    std::vector<std::string> names;
    for (const IdListPtr& child : enumerate(folder, flags))
        names.push_back(displayName(folder, child.get(), nameFlags));
    return names;
}

constexpr ShcontfFlags kAll = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN;

} // namespace

TEST(Desktop, ChildrenComeInTheFixedOrderThenTheDesktopDirectory)
{
    TempNamespace ns;
    ns.makeFile("home/Desktop/notes.txt");
    ns.makeFolder("home/Desktop/Projects");
    const auto desktop = ns.desktopFolder();
    auto names = namesOf(*desktop, kAll);
    ASSERT_EQ(names.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 4),
              (std::vector<std::string>{"Home", "Computer", "Network", "Trash"}));
    std::sort(names.begin() + 4, names.end());
    EXPECT_EQ(names[4], "Projects");
    EXPECT_EQ(names[5], "notes.txt");
}

TEST(Desktop, ParsingNamesOfTheVirtualItems)
{
    TempNamespace ns;
    const auto desktop = ns.desktopFolder();
    EXPECT_EQ(namesOf(*desktop, SHCONTF_FOLDERS, SHGDN_FORPARSING),
              (std::vector<std::string>{ns.home, "computer:///", "network:///", "trash:///"}));
    for (const char* name : {"computer:///", "network:///", "trash:///"}) {
        const IdListPtr id = parsingNameToIdList(name);
        ASSERT_TRUE(id) << name;
        EXPECT_EQ(idListToParsingName(id.get()), name);
    }
}

TEST(Desktop, OwnNameAndFileSystemAttributeFollowTheDesktopDirectory)
{
    TempNamespace ns;
    const auto desktop = ns.desktopFolder();
    const IdListPtr self = emptyIdList();
    EXPECT_EQ(displayName(*desktop, self.get()), "Desktop");
    EXPECT_EQ(displayName(*desktop, self.get(), SHGDN_FORPARSING), ns.desktop);
    EXPECT_EQ(attributesOf(*desktop, self.get(), SFGAO_FILESYSTEM | SFGAO_FOLDER), SFGAO_FILESYSTEM | SFGAO_FOLDER);

    std::filesystem::remove(ns.desktop);
    EXPECT_EQ(attributesOf(*desktop, self.get(), SFGAO_FILESYSTEM | SFGAO_FOLDER), SFGAO_FOLDER);
    EXPECT_EQ(namesOf(*desktop, kAll).size(), 4u);
}

TEST(Desktop, VirtualFoldersAreNotFileSystem)
{
    TempNamespace ns;
    const auto desktop = ns.desktopFolder();
    const auto children = enumerate(*desktop, SHCONTF_FOLDERS);
    ASSERT_EQ(children.size(), 4u);
    EXPECT_EQ(attributesOf(*desktop, children[0].get(), SFGAO_FILESYSTEM | SFGAO_FOLDER),
              SFGAO_FILESYSTEM | SFGAO_FOLDER); // home
    for (std::size_t i = 1; i < 4; ++i)
        EXPECT_EQ(attributesOf(*desktop, children[i].get(), SFGAO_FILESYSTEM | SFGAO_FOLDER), SFGAO_FOLDER);
}

TEST(Desktop, AbsolutePathParsesThroughComputerAndItsVolume)
{
    TempNamespace ns;
    const std::string file = ns.makeFile("home/Desktop/a.dw2");
    const IdListPtr id = parsingNameToIdList(file);
    ASSERT_TRUE(id);
    const auto first = readRecord(id.get());
    ASSERT_TRUE(first);
    EXPECT_EQ(first->kind, IdKind::Computer);
    const auto volume = readRecord(ILGetNext(id.get()));
    ASSERT_TRUE(volume);
    EXPECT_EQ(volume->kind, IdKind::Volume);
    EXPECT_EQ(volume->payload, "/");
    EXPECT_EQ(idListToParsingName(id.get()), file);
}

TEST(Desktop, ParsingAcceptsTrailingSlashAndRefusesMissingPaths)
{
    TempNamespace ns;
    ns.makeFolder("home/Calendars");
    const IdListPtr plain = parsingNameToIdList(ns.home + "/Calendars");
    const IdListPtr slashed = parsingNameToIdList(ns.home + "/Calendars/");
    ASSERT_TRUE(plain);
    ASSERT_TRUE(slashed);
    EXPECT_TRUE(ILIsEqual(plain.get(), slashed.get()));
    EXPECT_FALSE(parsingNameToIdList(ns.home + "/Nowhere"));
    EXPECT_FALSE(parsingNameToIdList(ns.home + "/Calendars/missing.dw2"));
    EXPECT_FALSE(parsingNameToIdList("trash:///not-there"));
    const IdListPtr desktop = parsingNameToIdList("");
    ASSERT_TRUE(desktop);
    EXPECT_EQ(ILGetSize(desktop.get()), 2u);
}

TEST(Desktop, NamesWithNulBytesNeverParse)
{
    TempNamespace ns;
    ns.makeFolder("home/etc");
    EXPECT_FALSE(parsingNameToIdList(ns.home + std::string("/etc\0/passwd", 11)));
    EXPECT_FALSE(parsingNameToIdList(std::string("trash:///a%00b")));
}

TEST(Desktop, LongestMountPrefixChoosesTheVolume)
{
    TempNamespace ns("/dev/sdz1 @ROOT@/usb vfat rw 0 0\n");
    ns.makeFolder("usb");
    ns.makeFolder("usb/photos");
    const IdListPtr id = parsingNameToIdList(ns.root + "/usb/photos");
    ASSERT_TRUE(id);
    const auto volume = readRecord(ILGetNext(id.get()));
    ASSERT_TRUE(volume);
    EXPECT_EQ(volume->payload, ns.root + "/usb");
    EXPECT_EQ(ILCount(id.get()), 3u); // Computer, the stick, photos
    EXPECT_EQ(idListToParsingName(id.get()), ns.root + "/usb/photos");
}

TEST(Computer, ListsVolumesWithDriveTypes)
{
    TempNamespace ns("/dev/sdz1 @ROOT@/usb vfat rw 0 0\n/dev/sr0 @ROOT@/dvd iso9660 ro 0 0\n");
    ns.makeFolder("usb");
    ns.makeFolder("dvd");
    ns.makeFolder("sys/block");
    ns.makeFolder("sys/block/sdz");
    ns.makeFile("sys/block/sdz/removable", "1\n");
    ShellFolderPtr computer = bindToFolder(parsingNameToIdList("computer:///").get());
    ASSERT_TRUE(computer);
    const auto volumes = enumerate(*computer, SHCONTF_FOLDERS);
    ASSERT_EQ(volumes.size(), 3u);
    std::vector<DriveType> types;
    for (const auto& volume : volumes)
        types.push_back(static_cast<DriveType>(readRecord(volume.get())->flags));
    EXPECT_EQ(types, (std::vector<DriveType>{DriveType::Fixed, DriveType::Removable, DriveType::CdRom}));
    EXPECT_EQ(displayName(*computer, volumes[1].get(), SHGDN_FORPARSING), ns.root + "/usb");
    EXPECT_EQ(attributesOf(*computer, volumes[1].get(), SFGAO_FILESYSTEM | SFGAO_FOLDER),
              SFGAO_FILESYSTEM | SFGAO_FOLDER);
}

TEST(Computer, MountsThatComeAndGoShowOnTheNextEnumeration)
{
    TempNamespace ns;
    ShellFolderPtr computer = bindToFolder(parsingNameToIdList("computer:///").get());
    EXPECT_EQ(enumerate(*computer, SHCONTF_FOLDERS).size(), 1u);
    ns.makeFolder("usb");
    ns.makeFile("mounts", "/dev/vda / ext4 rw 0 0\n/dev/sdz1 " + ns.root + "/usb vfat rw 0 0\n");
    EXPECT_EQ(enumerate(*computer, SHCONTF_FOLDERS).size(), 2u);
}

TEST(Network, SharesAreNamedShareOnServerAndParseBack)
{
    TempNamespace ns("srv:/export/data @ROOT@/net nfs4 rw 0 0\n");
    ns.makeFolder("net");
    ns.makeFolder("net/reports");
    ShellFolderPtr network = bindToFolder(parsingNameToIdList("network:///").get());
    ASSERT_TRUE(network);
    const auto shares = enumerate(*network, SHCONTF_FOLDERS);
    ASSERT_EQ(shares.size(), 1u);
    EXPECT_EQ(displayName(*network, shares[0].get()), "export/data on srv");
    EXPECT_EQ(displayName(*network, shares[0].get(), SHGDN_FORPARSING), "//srv/export/data");
    EXPECT_EQ(attributesOf(*network, shares[0].get(), SFGAO_FILESYSTEM | SFGAO_FOLDER),
              SFGAO_FILESYSTEM | SFGAO_FOLDER);

    const IdListPtr below = parsingNameToIdList("//srv/export/data/reports");
    ASSERT_TRUE(below);
    EXPECT_EQ(idListToParsingName(below.get()), ns.root + "/net/reports");
    EXPECT_EQ(currentShellNamespace().driveTypeOf(below.get()), DriveType::Remote);
}

TEST(Network, AShareRootIsAFileSystemFolderByTheMountTableAlone)
{
    // The mount point is not even there: nothing may look at it to decide.
    TempNamespace ns("srv:/export @ROOT@/absent nfs4 rw 0 0\n//nas/music @ROOT@/music cifs rw 0 0\n");
    const IdListPtr share = parsingNameToIdList("//srv/export");
    ASSERT_TRUE(share);
    ShellFolderPtr network = bindToParent(share.get());
    EXPECT_EQ(attributesOf(*network, ILFindLastID(share.get()), SFGAO_FILESYSTEM | SFGAO_FOLDER),
              SFGAO_FILESYSTEM | SFGAO_FOLDER);
    EXPECT_EQ(idListToParsingName(share.get()), "//srv/export");
    EXPECT_EQ(localPathOfParsingName("//srv/export"), ns.root + "/absent");
}

TEST(Network, ShareNamesResolveToTheirMountPoints)
{
    TempNamespace ns("srv:/export/data @ROOT@/net nfs4 rw 0 0\nsrv:/export/data/deep @ROOT@/deep nfs4 rw 0 0\n");
    EXPECT_EQ(localPathOfParsingName("//srv/export/data"), ns.root + "/net");
    EXPECT_EQ(localPathOfParsingName("//srv/export/data/reports/a.dw2"), ns.root + "/net/reports/a.dw2");
    EXPECT_EQ(localPathOfParsingName("//srv/export/data/deep/x"), ns.root + "/deep/x"); // the longest share
    EXPECT_EQ(localPathOfParsingName(ns.home + "/a.dw2"), ns.home + "/a.dw2");
    for (const std::string& nothing : std::vector<std::string>{"//srv/export/database", "//other/export/data", "//srv/export/data/../x",
                                       "//srv/export/data/./x", "trash:///a", "computer:///", "relative/a.dw2", "",
                                       std::string("//srv/export/data/a\0b", 22)})
        EXPECT_FALSE(localPathOfParsingName(nothing)) << nothing;
}

TEST(Network, TwoMountsOfOneExportHaveNamesOfTheirOwnAndLeadToTheirOwnMountPoints)
{
    TempNamespace ns("fileserver:/share @ROOT@/a nfs4 rw 0 0\n//fileserver/share @ROOT@/b cifs rw 0 0\n"
                     "fileserver:/other @ROOT@/c nfs4 rw 0 0\n");
    for (const char* folder : {"a", "b", "c"})
        ns.makeFolder(folder);
    ns.makeFolder("b/reports");
    ShellFolderPtr network = bindToFolder(parsingNameToIdList("network:///").get());
    std::vector<std::string> shown;
    std::vector<std::string> parsing;
    for (const IdListPtr& share : enumerate(*network, SHCONTF_FOLDERS)) {
        shown.push_back(displayName(*network, share.get()));
        parsing.push_back(displayName(*network, share.get(), SHGDN_FORPARSING));
        // Each name leads back to this very share and its own mount point.
        const IdListPtr again = parsingNameToIdList(parsing.back());
        ASSERT_TRUE(again) << parsing.back();
        EXPECT_TRUE(ILIsEqual(ILFindLastID(again.get()), share.get())) << parsing.back();
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"share (a) on fileserver", "share (b) on fileserver",
                                               "other on fileserver"}));
    EXPECT_EQ(parsing, (std::vector<std::string>{"//fileserver/share (a)", "//fileserver/share (b)",
                                                 "//fileserver/other"}));
    EXPECT_EQ(localPathOfParsingName("//fileserver/share (a)/x.dw2"), ns.root + "/a/x.dw2");
    EXPECT_EQ(localPathOfParsingName("//fileserver/share (b)/x.dw2"), ns.root + "/b/x.dw2");
    EXPECT_EQ(idListToParsingName(parsingNameToIdList("//fileserver/share (b)/reports").get()), ns.root + "/b/reports");
    // The plain name still leads somewhere: to the first mount.
    EXPECT_EQ(localPathOfParsingName("//fileserver/share"), ns.root + "/a");
    EXPECT_NE(currentShellNamespace().volumeKeyOfParsingName("//fileserver/share (a)"),
              currentShellNamespace().volumeKeyOfParsingName("//fileserver/share (b)"));
}

TEST(Network, MountsOfOneExportWhoseFoldersShareANameAreToldApartByTheirPaths)
{
    TempNamespace ns("srv:/data @ROOT@/x/data nfs4 rw 0 0\nsrv:/data @ROOT@/y/data nfs4 rw 0 0\n");
    ShellFolderPtr network = bindToFolder(parsingNameToIdList("network:///").get());
    std::vector<std::string> shown;
    for (const IdListPtr& share : enumerate(*network, SHCONTF_FOLDERS)) {
        shown.push_back(displayName(*network, share.get()));
        const std::string parsing = displayName(*network, share.get(), SHGDN_FORPARSING);
        EXPECT_EQ(localPathOfParsingName(parsing), std::string(readRecord(share.get())->payload)) << parsing;
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"data (" + ns.root + "/x/data) on srv",
                                               "data (" + ns.root + "/y/data) on srv"}));
}

TEST(Network, FindDataOfPathsOnAShareComesFromTheMountPoint)
{
    TempNamespace ns("srv:/export/data @ROOT@/net nfs4 rw 0 0\n");
    ns.makeFolder("net");
    ns.makeFolder("net/reports");
    ns.makeFile("net/reports/a.dw2", "12345");
    FindData data;
    ASSERT_EQ(FindFileData("//srv/export/data/reports/a.dw2", data), S_OK);
    EXPECT_EQ(data.size, 5u);
    ASSERT_EQ(FindFileData("//srv/export/data", data), S_OK);
    EXPECT_TRUE(data.attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(FindFileData("//srv/export/data/missing.dw2", data), E_FILE_NOT_FOUND);
    EXPECT_EQ(FindFileData("//srv/elsewhere/a.dw2", data), E_FILE_NOT_FOUND);
}

TEST(Network, EmptyWithoutNetworkMounts)
{
    TempNamespace ns;
    ShellFolderPtr network = bindToFolder(parsingNameToIdList("network:///").get());
    ASSERT_TRUE(network);
    EXPECT_TRUE(enumerate(*network, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS).empty());
}

TEST(Trash, EntriesShowTheirOriginalNames)
{
    TempNamespace ns;
    ns.trashFile("report.2.dw2", "/home/ann/My%20Calendars/report.dw2");
    ShellFolderPtr trash = bindToFolder(parsingNameToIdList("trash:///").get());
    ASSERT_TRUE(trash);
    const auto entries = enumerate(*trash, kAll);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(displayName(*trash, entries[0].get()), "report.dw2");
    const std::string parsing = displayName(*trash, entries[0].get(), SHGDN_FORPARSING);
    EXPECT_EQ(parsing, "trash:///report.2.dw2");
    const IdListPtr back = parsingNameToIdList(parsing);
    ASSERT_TRUE(back);
    EXPECT_EQ(idListToParsingName(back.get()), parsing);
}

TEST(DesktopOrder, VirtualItemsFirstThenFoldersThenNaturalNames)
{
    TempNamespace ns;
    ns.makeFile("home/Desktop/Cal10");
    ns.makeFile("home/Desktop/Cal9");
    ns.makeFolder("home/Desktop/zeta");
    const auto desktop = ns.desktopFolder();
    auto children = enumerate(*desktop, kAll);
    std::reverse(children.begin(), children.end());
    std::sort(children.begin(), children.end(), [&](const IdListPtr& a, const IdListPtr& b) {
        return static_cast<short>(desktop->CompareIDs(0, a.get(), b.get())) < 0;
    });
    std::vector<std::string> names;
    for (const auto& child : children)
        names.push_back(displayName(*desktop, child.get()));
    EXPECT_EQ(names, (std::vector<std::string>{"Home", "Computer", "Network", "Trash", "zeta", "Cal9", "Cal10"}));
}

TEST(DesktopOrder, EqualAbsoluteListsCompareEqualAndLowBitsCarryTheSign)
{
    TempNamespace ns;
    ns.makeFolder("home/a");
    ns.makeFolder("home/b");
    const auto desktop = ns.desktopFolder();
    const IdListPtr a = parsingNameToIdList(ns.home + "/a");
    const IdListPtr a2 = parsingNameToIdList(ns.home + "/a");
    const IdListPtr b = parsingNameToIdList(ns.home + "/b");
    EXPECT_EQ(desktop->CompareIDs(0, a.get(), a2.get()), 0);
    const HResult order = desktop->CompareIDs(0, a.get(), b.get());
    EXPECT_LT(order, 0);
    EXPECT_LT(static_cast<short>(order & 0xFFFF), 0);
    EXPECT_GT(static_cast<short>(desktop->CompareIDs(0, b.get(), a.get()) & 0xFFFF), 0);
    // A parent sorts before its own children.
    const IdListPtr home = parsingNameToIdList(ns.home);
    EXPECT_LT(desktop->CompareIDs(0, home.get(), a.get()), 0);
}

TEST(DriveTypes, VirtualItemsHaveNoRootAndOnlyVolumesTellTheirOwn)
{
    TempNamespace ns("/dev/sr0 @ROOT@/dvd iso9660 ro 0 0\n");
    ns.makeFolder("dvd");
    ns.makeFolder("dvd/video");
    IShellNamespace& shell = currentShellNamespace();
    for (const char* name : {"", "computer:///", "network:///", "trash:///"})
        EXPECT_EQ(shell.driveTypeOf(parsingNameToIdList(name).get()), DriveType::NoRootDir) << name;
    EXPECT_EQ(shell.driveTypeOf(parsingNameToIdList(ns.home).get()), DriveType::Fixed);
    EXPECT_EQ(shell.driveTypeOf(parsingNameToIdList(ns.root + "/dvd/video").get()), DriveType::CdRom);
    EXPECT_EQ(shell.volumeDriveType(parsingNameToIdList(ns.root + "/dvd").get()), DriveType::CdRom);
    EXPECT_EQ(shell.volumeDriveType(parsingNameToIdList(ns.root + "/dvd/video").get()), std::nullopt);
    EXPECT_EQ(shell.volumeDriveType(parsingNameToIdList("computer:///").get()), std::nullopt);
}

TEST(DesktopParsing, RelativePathsNameNothing)
{
    TempNamespace ns;
    ns.makeFile("home/Desktop/notes.dw2");
    ns.makeFolder("home/Desktop/Projects");
    ns.makeFile("home/Desktop/a:b");
    for (const char* relative : {".", "./", "..", "notes.dw2", "Projects", "./Projects", "Projects/../notes.dw2",
                                 "a:b", "Projects/a://b"})
        EXPECT_FALSE(parsingNameToIdList(relative)) << relative;
    const IdListPtr absolute = parsingNameToIdList(ns.desktop + "/notes.dw2");
    ASSERT_TRUE(absolute);
    // The desktop folder itself still parses the names of its own children.
    IdListPtr child;
    ASSERT_EQ(ns.desktopFolder()->ParseDisplayName("notes.dw2", child), S_OK);
    EXPECT_EQ(idListToParsingName(child.get()), ns.desktop + "/notes.dw2");
}

TEST(DesktopParsing, DotDotIsResolvedWhereTheLinkBeforeItLeads)
{
    TempNamespace ns;
    ns.makeFolder("elsewhere");
    ns.makeFolder("elsewhere/inner");
    ns.makeFolder("elsewhere/normal");
    ns.makeLink(ns.root + "/elsewhere/inner", "home/Desktop/innerlink");
    ns.makeFolder("home/Calendars");

    const IdListPtr throughLink = parsingNameToIdList(ns.desktop + "/innerlink/../normal");
    ASSERT_TRUE(throughLink);
    EXPECT_EQ(idListToParsingName(throughLink.get()), ns.root + "/elsewhere/normal");
    EXPECT_FALSE(parsingNameToIdList(ns.desktop + "/innerlink/../../Desktop")); // that is elsewhere's parent

    const IdListPtr plain = parsingNameToIdList(ns.home + "/Calendars/../Desktop/./");
    ASSERT_TRUE(plain);
    EXPECT_EQ(idListToParsingName(plain.get()), ns.desktop);
    const IdListPtr aboveRoot = parsingNameToIdList("/../.." + ns.home);
    ASSERT_TRUE(aboveRoot);
    EXPECT_EQ(idListToParsingName(aboveRoot.get()), ns.home);
}

TEST(DesktopParsing, DotDotAfterAFileOrAMissingNameIsRefused)
{
    TempNamespace ns;
    ns.makeFile("home/notes.dw2");
    ns.makeLink(ns.root + "/nowhere", "home/dangling");
    EXPECT_FALSE(parsingNameToIdList(ns.home + "/notes.dw2/../Desktop"));
    EXPECT_FALSE(parsingNameToIdList(ns.home + "/missing/../Desktop"));
    EXPECT_FALSE(parsingNameToIdList(ns.home + "/dangling/../Desktop"));
}
