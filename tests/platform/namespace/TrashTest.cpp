// SPDX-License-Identifier: MIT
#include "NamespaceFixture.h"

#include "platform/contextmenu/TrashContextMenu.h"
#include "platform/fileops/FileOperations.h"
#include "platform/namespace/ChangeReport.h"
#include "platform/namespace/ContextMenu.h"
#include "platform/namespace/NaturalOrder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace dw::platform;
using namespace dw::platform::testing;

namespace {

class ConfirmingUi : public IShellUi {
public:
    bool answer = true;
    std::vector<std::string> errors;
    bool confirm(const std::string&, const std::string&) override { return answer; }
    void showError(const std::string&, const std::string& message) override { errors.push_back(message); }
    bool askText(const std::string&, const std::string&, std::string&) override { return false; }
    void copyText(const std::string&) override {}
    bool chooseApplication(const std::string&, std::vector<std::string>&) override { return false; }
    void showProperties(const std::vector<std::string>&) override {}
};

bool exists(const std::string& path)
{
    return std::filesystem::exists(std::filesystem::symlink_status(path));
}

std::string contentOf(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The context menu of the trash entry `entryName`, and the command of `verb` in it.
struct EntryMenu {
    std::unique_ptr<IContextMenu> menu;
    std::vector<ContextMenuEntry> entries;
    unsigned offsetOf(const std::string& verb) const
    {
        for (const auto& entry : entries) {
            if (entry.verb == verb)
                return entry.command - 1;
        }
        throw std::runtime_error("no verb " + verb);
    }
};

EntryMenu menuFor(const std::string& entryName)
{
    EntryMenu result;
    ShellFolderPtr trash = bindToFolder(parsingNameToIdList("trash:///").get());
    const IdListPtr entry = parsingNameToIdList("trash:///" + entryName);
    EXPECT_TRUE(entry) << entryName;
    EXPECT_EQ(trash->GetUIObjectOf({ILFindLastID(entry.get())}, result.menu), S_OK);
    result.menu->QueryContextMenu(result.entries, 0, 1, 0x7FFF, CMF_EXPLORE);
    return result;
}

} // namespace

TEST(TrashEntries, RestoreBringsTheItemBackAndForgetsTheRecord)
{
    TempNamespace ns;
    ns.trashFile("a.dw2", ns.home + "/Calendars/a.dw2"); // its folder is gone too
    EntryMenu menu = menuFor("a.dw2");
    EXPECT_TRUE(menu.entries.front().isDefault);
    std::vector<long> events;
    const auto previous = setNamespaceChangeSink([&](long event, const ItemIdList*, const ItemIdList*) {
        events.push_back(event);
    });
    ConfirmingUi ui;
    const HResult result = menu.menu->InvokeCommand(menu.offsetOf("restore"), ui);
    setNamespaceChangeSink(previous);
    ASSERT_EQ(result, S_OK);
    EXPECT_EQ(contentOf(ns.home + "/Calendars/a.dw2"), "trashed");
    EXPECT_FALSE(exists(ns.trash + "/files/a.dw2"));
    EXPECT_FALSE(exists(ns.trash + "/info/a.dw2.trashinfo"));
    EXPECT_EQ(events, (std::vector<long>{SHCNE_DELETE, SHCNE_CREATE}));
}

TEST(TrashEntries, RestoreNeverReplacesWhatTookTheName)
{
    TempNamespace ns;
    ns.makeFile("home/b.dw2", "newer");
    ns.trashFile("b.dw2", ns.home + "/b.dw2");
    EntryMenu menu = menuFor("b.dw2");
    ConfirmingUi ui;
    EXPECT_EQ(menu.menu->InvokeCommand(menu.offsetOf("restore"), ui), E_ALREADY_EXISTS);
    EXPECT_EQ(contentOf(ns.home + "/b.dw2"), "newer");
    EXPECT_EQ(contentOf(ns.trash + "/files/b.dw2"), "trashed");
    EXPECT_TRUE(exists(ns.trash + "/info/b.dw2.trashinfo"));
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_NE(ui.errors[0].find("already exists"), std::string::npos);
}

TEST(TrashEntries, EntryWithoutRecordCannotBeRestored)
{
    TempNamespace ns;
    ns.makeFile("home/.local/share/Trash/files/stray", "x");
    EntryMenu menu = menuFor("stray");
    EXPECT_THROW(menu.offsetOf("restore"), std::runtime_error); // not offered
    EXPECT_TRUE(menu.entries.front().isDefault);                // Delete Permanently is what it offers
    ConfirmingUi ui;
    EXPECT_TRUE(failed(menu.menu->InvokeCommand(TrashContextMenu::kRestoreOffset, ui)));
    EXPECT_TRUE(exists(ns.trash + "/files/stray"));
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_NE(ui.errors[0].find("not recorded"), std::string::npos);
}

TEST(TrashEntries, DeletePermanentlyAsksAndRemovesEntryAndRecord)
{
    TempNamespace ns;
    ns.trashFile("c.dw2", ns.home + "/c.dw2");
    EntryMenu menu = menuFor("c.dw2");
    ConfirmingUi ui;
    ui.answer = false;
    EXPECT_EQ(menu.menu->InvokeCommand(menu.offsetOf("delete"), ui), S_FALSE);
    EXPECT_TRUE(exists(ns.trash + "/files/c.dw2"));
    ui.answer = true;
    EXPECT_EQ(menu.menu->InvokeCommand(menu.offsetOf("delete"), ui), S_OK);
    EXPECT_FALSE(exists(ns.trash + "/files/c.dw2"));
    EXPECT_FALSE(exists(ns.trash + "/info/c.dw2.trashinfo"));
}

namespace {

// Counts the files opened in one folder (not the folder itself), as the
// kernel reports them.
class OpenCounter {
public:
    explicit OpenCounter(const std::string& folder) : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        if (fd_ >= 0)
            ::inotify_add_watch(fd_, folder.c_str(), IN_OPEN);
    }
    ~OpenCounter() { ::close(fd_); }
    OpenCounter(const OpenCounter&) = delete;
    OpenCounter& operator=(const OpenCounter&) = delete;

    bool ready() const { return fd_ >= 0; }
    // Opens since the last call; an overflowing queue counts as very many.
    long opens()
    {
        long count = 0;
        alignas(inotify_event) char buffer[64 * 1024];
        ssize_t got = 0;
        while ((got = ::read(fd_, buffer, sizeof buffer)) > 0) {
            for (char* at = buffer; at < buffer + got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(at);
                if (event->mask & IN_Q_OVERFLOW)
                    count += 1000000;
                else if (event->len > 0)
                    ++count;
                at += sizeof(inotify_event) + event->len;
            }
        }
        return count;
    }

private:
    int fd_;
};

// The trash's entries in the tree's order, with the names it shows.
std::vector<std::string> listTrashAsTheTreeDoes(IShellFolder& desktop)
{
    const IdListPtr trashId = parsingNameToIdList("trash:///");
    ShellFolderPtr trash = bindToFolder(trashId.get());
    std::vector<IdListPtr> absolutes;
    for (const IdListPtr& entry : enumerate(*trash, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN)) {
        displayName(*trash, entry.get()); // the node's text
        absolutes.emplace_back(ILCombine(trashId.get(), entry.get()));
    }
    std::sort(absolutes.begin(), absolutes.end(), [&](const IdListPtr& a, const IdListPtr& b) {
        return static_cast<short>(desktop.CompareIDs(0, a.get(), b.get()) & 0xFFFF) < 0;
    });
    std::vector<std::string> names;
    for (const IdListPtr& absolute : absolutes)
        names.push_back(displayName(*trash, ILFindLastID(absolute.get())));
    return names;
}

} // namespace

TEST(TrashListing, EachRecordIsReadOncePerListing)
{
    TempNamespace ns;
    constexpr int kEntries = 40;
    std::vector<std::string> expected;
    for (int i = 0; i < kEntries; ++i) {
        const std::string name = "calendar" + std::to_string(kEntries - i) + ".dw2";
        ns.trashFile("entry" + std::to_string(i), ns.home + "/" + name);
        expected.push_back(name);
    }
    std::sort(expected.begin(), expected.end(),
              [](const std::string& a, const std::string& b) { return compareNames(a, b) < 0; });
    OpenCounter counter(ns.trash + "/info");
    ASSERT_TRUE(counter.ready());

    EXPECT_EQ(listTrashAsTheTreeDoes(*ns.desktopFolder()), expected);
    EXPECT_LE(counter.opens(), kEntries);
    // The next listing reads them again, once each.
    EXPECT_EQ(listTrashAsTheTreeDoes(*ns.desktopFolder()), expected);
    EXPECT_LE(counter.opens(), kEntries);
}

TEST(TrashListing, EntriesWithoutAUsableRecordSortUnderTheNameShown)
{
    TempNamespace ns;
    ns.trashFile("x1", ns.home + "/apple.dw2");
    ns.trashFile("x2", ns.home + "/cherry.dw2");
    ns.makeFile("home/.local/share/Trash/files/banana.dw2", "no record");
    ns.trashFile("damson.dw2", ns.home + "/%zz"); // an undecodable path
    EXPECT_EQ(listTrashAsTheTreeDoes(*ns.desktopFolder()),
              (std::vector<std::string>{"apple.dw2", "banana.dw2", "cherry.dw2", "damson.dw2"}));
}

TEST(TrashListing, ANewListingShowsRecordsThatChangedSinceTheLastOne)
{
    TempNamespace ns;
    ns.trashFile("entry", ns.home + "/first.dw2");
    EXPECT_EQ(listTrashAsTheTreeDoes(*ns.desktopFolder()), (std::vector<std::string>{"first.dw2"}));
    // Another program empties the trash and trashes a file under the same entry name.
    ns.trashFile("entry", ns.home + "/second.dw2");
    EXPECT_EQ(listTrashAsTheTreeDoes(*ns.desktopFolder()), (std::vector<std::string>{"second.dw2"}));
    // A restore forgets the entry at once.
    EntryMenu menu = menuFor("entry");
    ConfirmingUi ui;
    ASSERT_EQ(menu.menu->InvokeCommand(menu.offsetOf("restore"), ui), S_OK);
    ns.trashFile("entry", ns.home + "/third.dw2");
    ShellFolderPtr trash = bindToFolder(parsingNameToIdList("trash:///").get());
    EXPECT_EQ(displayName(*trash, ILFindLastID(parsingNameToIdList("trash:///entry").get())), "third.dw2");
}

TEST(TrashListing, TrashedFoldersAreFoldersThatAreNotBrowsedInto)
{
    TempNamespace ns;
    ns.trashFile("a.dw2", ns.home + "/a.dw2");
    ns.trashFile(".hidden", ns.home + "/.hidden");
    ns.makeFolder("home/.local/share/Trash/files/Old");
    const IdListPtr trashId = parsingNameToIdList("trash:///");
    ShellFolderPtr trash = bindToFolder(trashId.get());
    SfgaoFlags has = 0;
    ASSERT_EQ(ns.desktopFolder()->GetAttributesOf({trashId.get()}, has = SFGAO_HASSUBFOLDER), S_OK);
    EXPECT_EQ(has, SFGAO_HASSUBFOLDER); // a tree shows an expand button on it

    const auto folders = enumerate(*trash, SHCONTF_FOLDERS);
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_EQ(displayName(*trash, folders[0].get()), "Old");
    EXPECT_EQ(attributesOf(*trash, folders[0].get(), SFGAO_FOLDER | SFGAO_FILESYSTEM), SFGAO_FOLDER);
    ShellFolderPtr inside;
    EXPECT_TRUE(failed(trash->BindToObject(folders[0].get(), inside)));
    EXPECT_TRUE(ILIsEqual(parsingNameToIdList("trash:///Old").get(),
                          IdListPtr(ILCombine(trashId.get(), folders[0].get())).get()));

    EXPECT_EQ(enumerate(*trash, SHCONTF_NONFOLDERS).size(), 1u); // the hidden one only when asked
    EXPECT_EQ(enumerate(*trash, kAllChildren).size(), 3u);

    std::filesystem::remove(ns.trash + "/files/Old");
    ASSERT_EQ(ns.desktopFolder()->GetAttributesOf({trashId.get()}, has = SFGAO_HASSUBFOLDER), S_OK);
    EXPECT_EQ(has, 0u);
}

namespace {

// Points HOME, XDG_DATA_HOME and the working folder elsewhere for a test's
// life, then back.
class ScopedUserEnvironment {
public:
    ScopedUserEnvironment(const std::string& home, const char* dataHome, const std::string& workingFolder)
    {
        save("HOME");
        save("XDG_DATA_HOME");
        ::setenv("HOME", home.c_str(), 1);
        if (dataHome)
            ::setenv("XDG_DATA_HOME", dataHome, 1);
        else
            ::unsetenv("XDG_DATA_HOME");
        workingFolder_ = std::filesystem::current_path();
        std::filesystem::current_path(workingFolder);
    }
    ~ScopedUserEnvironment()
    {
        std::filesystem::current_path(workingFolder_);
        for (const auto& [name, value] : saved_) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }

private:
    void save(const std::string& name)
    {
        const char* value = std::getenv(name.c_str());
        saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }

    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
    std::filesystem::path workingFolder_;
};

unsigned modeOf(const std::string& path)
{
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

// A fresh account: a home with nothing in it, and a working folder apart.
struct FreshAccount {
    TempNamespace ns;
    std::string home = ns.makeFolder("fresh");
    std::string working = ns.makeFolder("working");

    HResult trash(const std::string& path) const
    {
        return moveItemToTrash(parsingNameToIdList(path).get(), path);
    }
    bool workingFolderUntouched() const { return std::filesystem::is_empty(working); }
};

} // namespace

TEST(MoveToTrash, AFreshHomeGetsItsTrashAndItsParentsMadePrivate)
{
    FreshAccount account;
    const std::string file = account.ns.makeFile("fresh/a.dw2", "calendar");
    ScopedUserEnvironment environment(account.home, nullptr, account.working);
    ASSERT_EQ(account.trash(file), S_OK);
    const std::string trash = account.home + "/.local/share/Trash";
    EXPECT_FALSE(exists(file));
    EXPECT_EQ(contentOf(trash + "/files/a.dw2"), "calendar");
    EXPECT_NE(contentOf(trash + "/info/a.dw2.trashinfo").find("Path=" + file + "\n"), std::string::npos);
    for (const std::string& folder : {account.home + "/.local", account.home + "/.local/share", trash,
                                      trash + "/files", trash + "/info"})
        EXPECT_EQ(modeOf(folder), 0700u) << folder;
    EXPECT_TRUE(account.workingFolderUntouched());
}

TEST(MoveToTrash, TheTrashLiesInTheDataFolderTheEnvironmentNames)
{
    FreshAccount account;
    const std::string file = account.ns.makeFile("fresh/b.dw2");
    const std::string dataHome = account.ns.root + "/elsewhere/data";
    {
        ScopedUserEnvironment environment(account.home, dataHome.c_str(), account.working);
        ASSERT_EQ(account.trash(file), S_OK);
    }
    EXPECT_TRUE(exists(dataHome + "/Trash/files/b.dw2"));
    EXPECT_EQ(modeOf(dataHome + "/Trash"), 0700u);
    // A relative folder is no data folder: the home's is taken, never the working folder.
    const std::string other = account.ns.makeFile("fresh/c.dw2");
    {
        ScopedUserEnvironment environment(account.home, "relative/data", account.working);
        ASSERT_EQ(account.trash(other), S_OK);
    }
    EXPECT_TRUE(exists(account.home + "/.local/share/Trash/files/c.dw2"));
    EXPECT_TRUE(account.workingFolderUntouched());
}

TEST(MoveToTrash, ATrashThatCannotBeMadeRefusesAndTheItemStays)
{
    FreshAccount account;
    const std::string file = account.ns.makeFile("fresh/d.dw2", "keep");
    account.ns.makeFile("fresh/.local", "a file where the folder would go");
    ScopedUserEnvironment environment(account.home, nullptr, account.working);
    EXPECT_EQ(account.trash(file), E_NO_TRASH);
    EXPECT_EQ(contentOf(file), "keep");
    EXPECT_TRUE(account.workingFolderUntouched());
    // The menu says so.
    const IdListPtr absolute = parsingNameToIdList(file);
    std::unique_ptr<IContextMenu> menu;
    ASSERT_EQ(bindToParent(absolute.get())->GetUIObjectOf({ILFindLastID(absolute.get())}, menu), S_OK);
    std::vector<ContextMenuEntry> entries;
    menu->QueryContextMenu(entries, 0, 1, 0x7FFF, CMF_EXPLORE);
    const auto trashEntry = std::find_if(entries.begin(), entries.end(), [](const auto& e) { return e.verb == "trash"; });
    ASSERT_NE(trashEntry, entries.end());
    ConfirmingUi ui;
    EXPECT_EQ(menu->InvokeCommand(trashEntry->command - 1, ui), E_NO_TRASH);
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_NE(ui.errors[0].find("the trash folder could not be made"), std::string::npos) << ui.errors[0];
    EXPECT_TRUE(exists(file));
}

TEST(MoveToTrash, AnItemOnAnotherVolumeGoesToThatVolumesOwnTrash)
{
    FreshAccount account;
    const std::string stick = account.ns.root + "/stick";
    ScratchVolume volume(stick, "1m");
    if (!volume.mounted())
        GTEST_SKIP() << "mounting a tmpfs needs root: " << std::strerror(errno);
    ScopedUserEnvironment environment(account.home, nullptr, account.working);
    const std::string uid = std::to_string(::getuid());
    account.ns.makeFolder("stick/cal");
    const std::string first = account.ns.makeFile("stick/cal/a.dw2");
    ASSERT_EQ(account.trash(first), S_OK);
    EXPECT_TRUE(exists(stick + "/.Trash-" + uid + "/files/a.dw2"));
    EXPECT_EQ(modeOf(stick + "/.Trash-" + uid), 0700u);
    // The record names the item from the volume's top, so it survives another mount point.
    EXPECT_NE(contentOf(stick + "/.Trash-" + uid + "/info/a.dw2.trashinfo").find("Path=cal/a.dw2\n"),
              std::string::npos);
    EXPECT_FALSE(exists(account.home + "/.local")); // nothing was copied across volumes

    // An administrator's shared .Trash counts only with the sticky bit.
    account.ns.makeFolder("stick/.Trash");
    ::chmod((stick + "/.Trash").c_str(), 0777);
    const std::string second = account.ns.makeFile("stick/cal/b.dw2");
    ASSERT_EQ(account.trash(second), S_OK);
    EXPECT_TRUE(exists(stick + "/.Trash-" + uid + "/files/b.dw2"));
    ::chmod((stick + "/.Trash").c_str(), 01777);
    const std::string third = account.ns.makeFile("stick/cal/c.dw2");
    ASSERT_EQ(account.trash(third), S_OK);
    EXPECT_TRUE(exists(stick + "/.Trash/" + uid + "/files/c.dw2"));
}

TEST(MoveToTrash, AVolumeTrashThatIsALinkIsNeverUsed)
{
    FreshAccount account;
    const std::string stick = account.ns.root + "/stick";
    ScratchVolume volume(stick, "1m");
    if (!volume.mounted())
        GTEST_SKIP() << "mounting a tmpfs needs root: " << std::strerror(errno);
    ScopedUserEnvironment environment(account.home, nullptr, account.working);
    const std::string elsewhere = account.ns.makeFolder("elsewhere");
    account.ns.makeLink(elsewhere, "stick/.Trash-" + std::to_string(::getuid()));
    const std::string file = account.ns.makeFile("stick/a.dw2", "keep");
    EXPECT_EQ(account.trash(file), E_NO_TRASH);
    EXPECT_EQ(contentOf(file), "keep");
    EXPECT_TRUE(std::filesystem::is_empty(elsewhere));
}

TEST(MoveToTrash, AFullDiskLeavesTheItemAndNoRecord)
{
    FreshAccount account;
    const std::string stick = account.ns.root + "/stick";
    ScratchVolume volume(stick, "64k");
    if (!volume.mounted())
        GTEST_SKIP() << "mounting a tmpfs needs root: " << std::strerror(errno);
    ScopedUserEnvironment environment(account.home, nullptr, account.working);
    const std::string uid = std::to_string(::getuid());
    const std::string file = account.ns.makeFile("stick/a.dw2", "keep");
    account.ns.makeFolder("stick/.Trash-" + uid);
    account.ns.makeFolder("stick/.Trash-" + uid + "/files");
    account.ns.makeFolder("stick/.Trash-" + uid + "/info");
    {
        std::ofstream filler(stick + "/filler", std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())))
            filler.flush();
    }
    EXPECT_EQ(account.trash(file), E_DISK_FULL);
    EXPECT_EQ(contentOf(file), "keep");
    EXPECT_TRUE(std::filesystem::is_empty(stick + "/.Trash-" + uid + "/info"));
    EXPECT_TRUE(std::filesystem::is_empty(stick + "/.Trash-" + uid + "/files"));
}
