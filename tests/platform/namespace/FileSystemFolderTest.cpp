// SPDX-License-Identifier: MIT
#include "NamespaceFixture.h"

#include "platform/namespace/IdRecord.h"

#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace dw::platform;
using namespace dw::platform::testing;

namespace {

constexpr ShcontfFlags kAll = kAllChildren;

} // namespace

TEST(FileSystemNames, OddBytesSurviveTheRoundTripThroughIds)
{
    TempNamespace ns;
    const std::vector<std::string> names{
        "line\nbreak", std::string("bad\xff\xfe utf8", 10), std::string(255, 'L'), "tab\tand space ",
        "caf\xc3\xa9"};
    for (const std::string& name : names) {
        const std::string path = ns.makeFile("home/" + name);
        const IdListPtr id = parsingNameToIdList(path);
        ASSERT_TRUE(id) << name;
        EXPECT_EQ(idListToParsingName(id.get()), path);
        EXPECT_EQ(readRecord(ILFindLastID(id.get()))->payload, name);
    }
    const auto home = folderAt(ns.home);
    ASSERT_TRUE(home);
    EXPECT_EQ(displayName(*home, childNamed(*home, "line\nbreak").get()), "line\\nbreak");
    EXPECT_EQ(displayName(*home, childNamed(*home, "tab\tand space ").get()), "tab\\tand space ");
    EXPECT_EQ(displayName(*home, childNamed(*home, "caf\xc3\xa9").get()), "caf\xc3\xa9");
    const std::string lossy = displayName(*home, childNamed(*home, std::string("bad\xff\xfe utf8", 10)).get());
    EXPECT_NE(lossy.find("\xEF\xBF\xBD"), std::string::npos);
}

TEST(FileSystemNames, EnumeratedIdsGiveFullPaths)
{
    TempNamespace ns;
    const std::string file = ns.makeFile("home/x\ny.dw2");
    const auto home = folderAt(ns.home);
    const IdListPtr child = childNamed(*home, "x\ny.dw2");
    ASSERT_TRUE(child);
    EXPECT_EQ(displayName(*home, child.get(), SHGDN_FORPARSING), file);
}

TEST(FileSystemAttributes, HiddenItemsAreMarkedAndSkippedUnlessAsked)
{
    TempNamespace ns;
    ns.makeFolder("home/work");
    ns.makeFile("home/.secret");
    const auto home = folderAt(ns.home);
    std::vector<std::string> visible;
    for (const auto& child : enumerate(*home, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS))
        visible.push_back(displayName(*home, child.get()));
    EXPECT_EQ(std::count(visible.begin(), visible.end(), ".secret"), 0);
    EXPECT_EQ(std::count(visible.begin(), visible.end(), "work"), 1);
    const IdListPtr secret = childNamed(*home, ".secret");
    ASSERT_TRUE(secret);
    EXPECT_EQ(attributesOf(*home, secret.get(), SFGAO_HIDDEN | SFGAO_FOLDER), SFGAO_HIDDEN);
    EXPECT_EQ(attributesOf(*home, childNamed(*home, "work").get(), SFGAO_HIDDEN | SFGAO_FOLDER), SFGAO_FOLDER);
}

TEST(FileSystemAttributes, LinksAreFollowedForFolderAndMarkedAsLinks)
{
    TempNamespace ns;
    ns.makeFolder("home/target");
    ns.makeLink(ns.home + "/target", "home/to-folder");
    ns.makeLink(ns.home + "/missing", "home/dangling");
    const auto home = folderAt(ns.home);
    const SfgaoFlags asked = SFGAO_FOLDER | SFGAO_LINK | SFGAO_FILESYSTEM;
    EXPECT_EQ(attributesOf(*home, childNamed(*home, "to-folder").get(), asked), asked);
    EXPECT_EQ(attributesOf(*home, childNamed(*home, "dangling").get(), asked), SFGAO_LINK | SFGAO_FILESYSTEM);
    EXPECT_EQ(attributesOf(*home, childNamed(*home, "target").get(), asked), SFGAO_FOLDER | SFGAO_FILESYSTEM);
}

TEST(FileSystemAttributes, HasSubfoldersProbeStopsAtFolders)
{
    TempNamespace ns;
    ns.makeFolder("home/withSub");
    ns.makeFolder("home/withSub/inner");
    ns.makeFolder("home/filesOnly");
    ns.makeFile("home/filesOnly/a");
    ns.makeFolder("home/linkOnly");
    ns.makeLink(ns.home + "/withSub", "home/linkOnly/link");
    const auto home = folderAt(ns.home);
    EXPECT_TRUE(attributesOf(*home, childNamed(*home, "withSub").get(), SFGAO_HASSUBFOLDER));
    EXPECT_FALSE(attributesOf(*home, childNamed(*home, "filesOnly").get(), SFGAO_HASSUBFOLDER));
    EXPECT_TRUE(attributesOf(*home, childNamed(*home, "linkOnly").get(), SFGAO_HASSUBFOLDER));
}

TEST(FileSystemAttributes, RemovableVolumesAreNotProbed)
{
    TempNamespace ns("/dev/sdz1 @ROOT@/usb vfat rw 0 0\n");
    ns.makeFolder("usb");
    ns.makeFolder("usb/empty"); // no subfolders, but nobody looks
    ns.makeFolder("sys/block");
    ns.makeFolder("sys/block/sdz");
    ns.makeFile("sys/block/sdz/removable", "1\n");
    const auto stick = folderAt(ns.root + "/usb");
    ASSERT_TRUE(stick);
    EXPECT_TRUE(attributesOf(*stick, childNamed(*stick, "empty").get(), SFGAO_HASSUBFOLDER));
    EXPECT_EQ(currentShellNamespace().driveTypeOf(parsingNameToIdList(ns.root + "/usb/empty").get()),
              DriveType::Removable);
}

TEST(FileSystemAttributes, VolumesMountedBelowAFolderAreNotProbedEither)
{
    TempNamespace ns("/dev/sdz1 @ROOT@/home/stick vfat rw 0 0\n");
    ns.makeFolder("home/stick"); // its own volume, a removable one, with no subfolders
    ns.makeFolder("sys/block");
    ns.makeFolder("sys/block/sdz");
    ns.makeFile("sys/block/sdz/removable", "1\n");
    ns.makeFolder("home/plain");
    const auto home = folderAt(ns.home);
    EXPECT_TRUE(attributesOf(*home, childNamed(*home, "stick").get(), SFGAO_HASSUBFOLDER));
    EXPECT_FALSE(attributesOf(*home, childNamed(*home, "plain").get(), SFGAO_HASSUBFOLDER));
}

TEST(FileSystemAttributes, ValidateFailsForItemsThatAreGone)
{
    TempNamespace ns;
    const std::string file = ns.makeFile("home/gone.dw2");
    const auto home = folderAt(ns.home);
    const IdListPtr child = childNamed(*home, "gone.dw2");
    SfgaoFlags attributes = SFGAO_VALIDATE;
    EXPECT_TRUE(succeeded(home->GetAttributesOf({child.get()}, attributes)));
    ::unlink(file.c_str());
    attributes = SFGAO_VALIDATE;
    EXPECT_TRUE(failed(home->GetAttributesOf({child.get()}, attributes)));
}

TEST(FileSystemEnumeration, SymlinkLoopsEnumerateWithoutHanging)
{
    TempNamespace ns;
    ns.makeFolder("home/loop");
    ns.makeLink("b", "home/loop/a");
    ns.makeLink("a", "home/loop/b");
    ns.makeLink(".", "home/loop/self");
    const auto loop = folderAt(ns.home + "/loop");
    ASSERT_TRUE(loop);
    const auto children = enumerate(*loop, kAll);
    EXPECT_EQ(children.size(), 3u);
    EXPECT_EQ(attributesOf(*loop, childNamed(*loop, "a").get(), SFGAO_FOLDER | SFGAO_LINK), SFGAO_LINK);
    // "self" is a folder; going down it ten times still answers.
    ShellFolderPtr deeper = loop;
    for (int i = 0; i < 10; ++i) {
        ShellFolderPtr next;
        ASSERT_TRUE(succeeded(deeper->BindToObject(childNamed(*deeper, "self").get(), next)));
        deeper = next;
    }
    EXPECT_EQ(enumerate(*deeper, kAll).size(), 3u);
}

TEST(FileSystemEnumeration, UnreadableFolderFailsCleanly)
{
    TempNamespace ns;
    ::chmod(ns.root.c_str(), 0755); // let the unprivileged user reach the home
    const std::string locked = ns.makeFolder("home/locked");
    ns.makeFolder("home/locked/inner");
    ::chmod(locked.c_str(), 0);
    const bool held = holdsWithoutPrivileges([&] {
        const auto home = folderAt(ns.home);
        if (!home || attributesOf(*home, childNamed(*home, "locked").get(), SFGAO_HASSUBFOLDER) != 0)
            return false;
        ShellFolderPtr folder;
        if (failed(home->BindToObject(childNamed(*home, "locked").get(), folder)))
            return false;
        std::unique_ptr<IEnumIdList> enumerator;
        // The folder itself still shows, with its name and attributes.
        return folder->EnumObjects(kAll, enumerator) == E_ACCESSDENIED && !enumerator
            && attributesOf(*home, childNamed(*home, "locked").get(), SFGAO_FOLDER) == SFGAO_FOLDER;
    });
    ::chmod(locked.c_str(), 0755);
    EXPECT_TRUE(held);
}

TEST(FileSystemEnumeration, ObserverLearnsOfEnumeratedFolders)
{
    TempNamespace ns;
    ns.makeFolder("home/watched");
    std::vector<std::string> seen;
    setEnumerationObserver([&](const std::string& path, std::int64_t, std::optional<FolderListing>) { seen.push_back(path); });
    const auto folder = folderAt(ns.home + "/watched");
    enumerate(*folder, kAll);
    setEnumerationObserver({});
    enumerate(*folder, kAll);
    EXPECT_EQ(seen, (std::vector<std::string>{ns.home + "/watched"}));
}

TEST(FileSystemFindData, SizeTimesAndLetters)
{
    TempNamespace ns;
    ns.makeFile("home/.hidden.dw2", "12345");
    ns.makeFolder("home/dir");
    const auto home = folderAt(ns.home);
    FindData file;
    ASSERT_TRUE(succeeded(SHGetDataFromIDList(*home, childNamed(*home, ".hidden.dw2").get(), file)));
    EXPECT_EQ(file.size, 5u);
    EXPECT_EQ(file.fileName, ".hidden.dw2");
    EXPECT_EQ(file.attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE),
              FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_GT(file.lastWriteSeconds, 1600000000);
    FindData folder;
    ASSERT_TRUE(succeeded(SHGetDataFromIDList(*home, childNamed(*home, "dir").get(), folder)));
    EXPECT_EQ(folder.size, 0u);
    EXPECT_TRUE(folder.attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(FileSystemOrder, FoldersBeforeFilesThenNaturalCaseInsensitive)
{
    TempNamespace ns;
    for (const char* file : {"b10.dw2", "B9.dw2", "a1.dw2"})
        ns.makeFile(std::string("home/") + file);
    ns.makeFolder("home/zz");
    const auto home = folderAt(ns.home);
    auto children = enumerate(*home, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS);
    std::sort(children.begin(), children.end(), [&](const IdListPtr& a, const IdListPtr& b) {
        return home->CompareIDs(0, a.get(), b.get()) < 0;
    });
    std::vector<std::string> names;
    for (const auto& child : children)
        names.push_back(displayName(*home, child.get()));
    EXPECT_EQ(names, (std::vector<std::string>{"Desktop", "zz", "a1.dw2", "B9.dw2", "b10.dw2"}));
}
