// SPDX-License-Identifier: MIT
// Listing a file-system folder in one pass must tell each child exactly what
// the folder's own calls tell, without opening files, and without ever
// looking at a volume mounted on one of its entries.

#include "NamespaceFixture.h"

#include "platform/namespace/ShellErrors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace dw::platform;
using namespace dw::platform::testing;

namespace {

constexpr SfgaoFlags kAsked = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_LINK | SFGAO_HIDDEN | SFGAO_CANRENAME
    | SFGAO_COMPRESSED | SFGAO_HASSUBFOLDER;

std::map<std::string, ChildFacts> listed(IShellFolder& folder, ShcontfFlags flags = kAllChildren)
{
    std::map<std::string, ChildFacts> children;
    ListingOptions options;
    options.flags = flags;
    options.attributes = kAsked;
    options.probeChildren = true;
    options.fileFacts = true;
    const ListingOutcome outcome = folder.ListChildren(options, [&](ChildFacts&& child) {
        const std::string name = displayName(folder, child.relative.get(), SHGDN_FORPARSING | SHGDN_INFOLDER);
        children.emplace(name, std::move(child));
        return true;
    });
    EXPECT_EQ(outcome.result, S_OK);
    return children;
}

} // namespace

TEST(FileSystemListing, TellsEachChildWhatTheFolderCallsTell)
{
    TempNamespace ns;
    ns.makeFolder("home/empty");
    ns.makeFolder("home/withSub");
    ns.makeFolder("home/withSub/inner");
    ns.makeFolder("home/onlyFiles");
    ns.makeFile("home/onlyFiles/a.dw2");
    ns.makeFile("home/Cal10.dw2", "0123456789");
    ns.makeFile("home/cal9.dw2");
    ns.makeFile("home/.hidden");
    ns.makeLink(ns.home + "/withSub", "home/toFolder");
    ns.makeLink(ns.home + "/nowhere", "home/dangling");
    ASSERT_EQ(::mkfifo((ns.home + "/pipe.dw2").c_str(), 0644), 0);
    const auto home = folderAt(ns.home);
    ASSERT_TRUE(home);

    auto children = listed(*home);
    ASSERT_EQ(children.size(), 11u); // with the home's Desktop and .local
    for (auto& [name, child] : children) {
        SCOPED_TRACE(name);
        const ItemIdList* id = child.relative.get();
        EXPECT_EQ(child.attributes, attributesOf(*home, id, kAsked));
        EXPECT_EQ(child.displayName, displayName(*home, id));
        EXPECT_EQ(child.parsingName, displayName(*home, id, SHGDN_FORPARSING));
        FindData data;
        ASSERT_EQ(home->GetFindData(id, data), S_OK);
        ASSERT_TRUE(child.file);
        EXPECT_EQ(child.file->findAttributes, data.attributes);
        EXPECT_EQ(child.file->size, data.size);
    }
    EXPECT_EQ(children["pipe.dw2"].type, EntryType::Fifo);
    EXPECT_EQ(children["Cal10.dw2"].type, EntryType::Regular);
    EXPECT_EQ(children["Cal10.dw2"].file->size, 10u);
    EXPECT_EQ(children["toFolder"].type, EntryType::Directory);
    // A tree's expand buttons: a subfolder, or with files shown anything that opens.
    EXPECT_TRUE(children["withSub"].hasChildren);
    EXPECT_TRUE(children["onlyFiles"].hasChildren);
    EXPECT_TRUE(children["empty"].hasChildren);
    EXPECT_FALSE(listed(*home, SHCONTF_FOLDERS)["onlyFiles"].hasChildren);
    EXPECT_TRUE(listed(*home, SHCONTF_FOLDERS)["withSub"].hasChildren);
    EXPECT_EQ(listed(*home, SHCONTF_FOLDERS).count("Cal10.dw2"), 0u);
}

TEST(FileSystemListing, SortKeysOrderAsTheFolderCompares)
{
    TempNamespace ns;
    for (const char* name : {"b", "A", "a10", "a9", "Z.dw2", "z2.dw2", "z10.dw2", ".x", "dir2", "Dir10"})
        (std::string(name).find('.') == std::string::npos && name[0] != 'Z' && name[0] != 'z')
            ? (void)ns.makeFolder(std::string("home/") + name)
            : (void)ns.makeFile(std::string("home/") + name);
    const auto home = folderAt(ns.home);
    std::vector<ChildFacts> children;
    for (auto& [name, child] : listed(*home))
        children.push_back(std::move(child));
    for (const ChildFacts& a : children) {
        for (const ChildFacts& b : children) {
            ASSERT_TRUE(a.sortKey && b.sortKey);
            const int byIds = static_cast<short>(home->CompareIDs(0, a.relative.get(), b.relative.get()));
            EXPECT_EQ(a.sortKey->compare(*b.sortKey), byIds) << a.displayName << " vs " << b.displayName;
        }
    }
}

// A network share mounted in a folder is described from the mount table
// alone: its server may have stopped answering, and asking it anything
// (stat, open) would hang the listing of the folder. Here the "mount
// point" is really a plain file, so any look at it would show a file.
TEST(FileSystemListing, NeverLooksAtAShareMountedOnAnEntry)
{
    TempNamespace ns("server:/export @ROOT@/home/share fuse.sshfs rw 0 0\n");
    ns.makeFile("home/share", "not a folder");
    const auto home = folderAt(ns.home);
    auto children = listed(*home);
    ASSERT_EQ(children.count("share"), 1u);
    const ChildFacts& share = children["share"];
    EXPECT_EQ(share.type, EntryType::Directory);
    EXPECT_EQ(share.attributes & (SFGAO_FOLDER | SFGAO_CANRENAME | SFGAO_HASSUBFOLDER),
              SFGAO_FOLDER | SFGAO_HASSUBFOLDER);
    EXPECT_TRUE(share.hasChildren);
    // The folder's own calls keep to the same rule.
    EXPECT_EQ(attributesOf(*home, share.relative.get(), SFGAO_CANRENAME | SFGAO_COMPRESSED | SFGAO_VALIDATE), 0u);
    FindData data;
    ASSERT_EQ(home->GetFindData(share.relative.get(), data), S_OK);
    EXPECT_TRUE(data.attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Opening a file can block (a device), costs a server round trip on a
// share, and changes its access time; listing and find data need none.
TEST(FileSystemListing, OpensNoFileToListOrDescribeIt)
{
    TempNamespace ns;
    const std::string folder = ns.makeFolder("home/calendars");
    for (const char* name : {"a.dw2", "b.dw2", "c.txt"})
        ns.makeFile(std::string("home/calendars/") + name);
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, folder.c_str(), IN_OPEN), 0);
    const auto calendars = folderAt(folder);
    for (auto& [name, child] : listed(*calendars)) {
        FindData data;
        calendars->GetFindData(child.relative.get(), data);
        attributesOf(*calendars, child.relative.get(), SFGAO_COMPRESSED | SFGAO_CANRENAME);
    }
    alignas(inotify_event) char buffer[4096];
    std::vector<std::string> opened;
    for (long got; (got = ::read(watch, buffer, sizeof buffer)) > 0;) {
        for (long at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->len > 0)
                opened.emplace_back(event->name);
            at += static_cast<long>(sizeof(inotify_event) + event->len);
        }
    }
    ::close(watch);
    EXPECT_TRUE(opened.empty()) << opened.front();
}

TEST(FileSystemListing, AnUnreadableFolderSaysWhy)
{
    TempNamespace ns;
    ::chmod(ns.root.c_str(), 0755);
    const std::string locked = ns.makeFolder("home/locked");
    ::chmod(locked.c_str(), 0);
    const bool held = holdsWithoutPrivileges([&] {
        const auto folder = folderAt(locked);
        ListingOptions options;
        options.flags = kAllChildren;
        const ListingOutcome outcome = folder->ListChildren(options, [](ChildFacts&&) { return true; });
        // Its parent lists it without an expand button, and knows why.
        bool reasonGiven = false;
        options.probeChildren = true;
        folderAt(ns.home)->ListChildren(options, [&](ChildFacts&& child) {
            if (child.parsingName == locked)
                reasonGiven = !child.hasChildren && child.childrenError == EACCES;
            return true;
        });
        return outcome.result == E_ACCESSDENIED && outcome.error == EACCES && reasonGiven;
    });
    ::chmod(locked.c_str(), 0755);
    EXPECT_TRUE(held);
}

// The change source begins to watch a listed folder with what the listing
// found, every entry whatever the flags selected, instead of reading it again
// on its own thread.
TEST(FileSystemListing, HandsEveryEntryToTheObserverOnceTheListingIsDone)
{
    TempNamespace ns;
    ns.makeFolder("home/box");
    ns.makeFolder("home/box/sub");
    ns.makeFile("home/box/.hidden.dw2");
    ns.makeLink(ns.home + "/box/sub", "home/box/toSub");
    std::optional<FolderListing> seen;
    std::string seenFolder;
    setEnumerationObserver([&](const std::string& folder, std::int64_t, std::optional<FolderListing> entries) {
        seenFolder = folder;
        seen = std::move(entries);
    });
    ListingOptions options;
    options.flags = SHCONTF_FOLDERS; // folders only, hidden left out
    folderAt(ns.home + "/box")->ListChildren(options, [](ChildFacts&&) { return true; });
    setEnumerationObserver({});
    EXPECT_EQ(seenFolder, ns.home + "/box");
    ASSERT_TRUE(seen);
    EXPECT_EQ(*seen, (FolderListing{{"sub", EntryKind::Folder},
                                    {".hidden.dw2", EntryKind::File},
                                    {"toSub", EntryKind::FolderLink}}));
}
