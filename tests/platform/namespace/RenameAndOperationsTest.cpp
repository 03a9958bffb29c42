// SPDX-License-Identifier: MIT
#include "NamespaceFixture.h"

#include "platform/fileops/FileOperations.h"
#include "platform/namespace/ChangeReport.h"
#include "platform/namespace/ContextMenu.h"
#include "platform/namespace/IdRecord.h"
#include "platform/namespace/ShellErrors.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/mount.h>
#include <unistd.h>

using namespace dw::platform;
using namespace dw::platform::testing;

namespace {

struct Report {
    long event;
    std::string first;
    std::string second;
};

// Collects the namespace's change reports as parsing names.
class ReportRecorder {
public:
    ReportRecorder()
    {
        previous_ = setNamespaceChangeSink([this](long event, const ItemIdList* a, const ItemIdList* b) {
            reports.push_back({event, a ? idListToParsingName(a) : "", b ? idListToParsingName(b) : ""});
        });
    }
    ~ReportRecorder() { setNamespaceChangeSink(std::move(previous_)); }
    std::vector<Report> reports;

private:
    NamespaceChangeSink previous_;
};

// Answers like a user who clicks the given buttons.
class ScriptedUi : public IShellUi {
public:
    std::vector<std::string> application;
    bool confirmAnswer = false;
    std::string textAnswer;
    std::vector<std::string> errors;
    std::string copied;

    bool confirm(const std::string&, const std::string&) override { return confirmAnswer; }
    void showError(const std::string&, const std::string& message) override { errors.push_back(message); }
    bool askText(const std::string&, const std::string&, std::string& text) override
    {
        text = textAnswer;
        return !textAnswer.empty();
    }
    void copyText(const std::string& text) override { copied = text; }
    bool chooseApplication(const std::string&, std::vector<std::string>& command) override
    {
        command = application;
        return !application.empty();
    }
    void showProperties(const std::vector<std::string>&) override {}
};

bool exists(const std::string& path)
{
    return std::filesystem::exists(std::filesystem::symlink_status(path));
}

struct Child {
    ShellFolderPtr parent;
    IdListPtr relative;
};

Child childAt(const std::string& path)
{
    const IdListPtr absolute = parsingNameToIdList(path);
    return {bindToParent(absolute.get()), IdListPtr(ILClone(ILFindLastID(absolute.get())))};
}

std::vector<ContextMenuEntry> menuOf(IContextMenu& menu, unsigned flags)
{
    std::vector<ContextMenuEntry> entries;
    menu.QueryContextMenu(entries, 0, 1, 0x7FFF, flags);
    return entries;
}

const ContextMenuEntry* entryWithVerb(const std::vector<ContextMenuEntry>& entries, const std::string& verb)
{
    for (const auto& entry : entries) {
        if (entry.verb == verb)
            return &entry;
    }
    return nullptr;
}

} // namespace

TEST(Rename, RefusesBadAndTakenNamesAndKeepsTheOldName)
{
    TempNamespace ns;
    const std::string file = ns.makeFile("home/old.dw2");
    ns.makeFile("home/taken.dw2");
    Child child = childAt(file);
    ASSERT_TRUE(child.parent);
    ReportRecorder recorder;
    EXPECT_EQ(child.parent->SetNameOf(child.relative.get(), "", SHGDN_NORMAL, nullptr), E_BAD_NAME);
    EXPECT_EQ(child.parent->SetNameOf(child.relative.get(), "a/b", SHGDN_NORMAL, nullptr), E_BAD_NAME);
    EXPECT_EQ(child.parent->SetNameOf(child.relative.get(), "..", SHGDN_NORMAL, nullptr), E_BAD_NAME);
    EXPECT_EQ(child.parent->SetNameOf(child.relative.get(), "taken.dw2", SHGDN_NORMAL, nullptr), E_ALREADY_EXISTS);
    EXPECT_TRUE(exists(file));
    EXPECT_TRUE(recorder.reports.empty());
    EXPECT_EQ(shellErrorText(E_ALREADY_EXISTS), "A file or folder with this name already exists.");
}

TEST(Rename, RenamesOnDiskAndReportsOldAndNewItems)
{
    TempNamespace ns;
    const std::string odd = std::string("old\xff\nname", 9);
    const std::string file = ns.makeFile("home/" + odd);
    Child child = childAt(file);
    ReportRecorder recorder;
    IdListPtr renamed;
    ASSERT_EQ(child.parent->SetNameOf(child.relative.get(), "new name.dw2", SHGDN_NORMAL, &renamed), S_OK);
    EXPECT_FALSE(exists(file));
    EXPECT_TRUE(exists(ns.home + "/new name.dw2"));
    ASSERT_TRUE(renamed);
    EXPECT_EQ(readRecord(renamed.get())->payload, "new name.dw2");
    ASSERT_EQ(recorder.reports.size(), 1u);
    EXPECT_EQ(recorder.reports[0].event, SHCNE_RENAMEITEM);
    EXPECT_EQ(recorder.reports[0].first, file);
    EXPECT_EQ(recorder.reports[0].second, ns.home + "/new name.dw2");
}

TEST(Rename, FolderRenameIsReportedAsFolder)
{
    TempNamespace ns;
    const std::string folder = ns.makeFolder("home/Calendars");
    Child child = childAt(folder);
    ReportRecorder recorder;
    ASSERT_EQ(child.parent->SetNameOf(child.relative.get(), "Old Calendars", SHGDN_NORMAL, nullptr), S_OK);
    ASSERT_EQ(recorder.reports.size(), 1u);
    EXPECT_EQ(recorder.reports[0].event, SHCNE_RENAMEFOLDER);
}

TEST(Rename, VirtualItemsCannotBeRenamed)
{
    TempNamespace ns;
    const auto desktop = ns.desktopFolder();
    const IdListPtr computer = parsingNameToIdList("computer:///");
    EXPECT_TRUE(failed(desktop->SetNameOf(computer.get(), "Mine", SHGDN_NORMAL, nullptr)));
    EXPECT_EQ(attributesOf(*desktop, computer.get(), SFGAO_CANRENAME), 0u);
}

TEST(FileOperations, NewFolderRefusesTakenNamesAndReportsCreation)
{
    TempNamespace ns;
    ns.makeFolder("home/Existing");
    const IdListPtr home = parsingNameToIdList(ns.home);
    ReportRecorder recorder;
    EXPECT_EQ(createFolder(home.get(), ns.home, "Existing"), E_ALREADY_EXISTS);
    EXPECT_EQ(createFolder(home.get(), ns.home, "x/y"), E_BAD_NAME);
    ASSERT_EQ(createFolder(home.get(), ns.home, "Fresh"), S_OK);
    EXPECT_TRUE(std::filesystem::is_directory(ns.home + "/Fresh"));
    ASSERT_EQ(recorder.reports.size(), 1u);
    EXPECT_EQ(recorder.reports[0].event, SHCNE_MKDIR);
    EXPECT_EQ(recorder.reports[0].first, ns.home + "/Fresh");
}

TEST(FileOperations, PermanentDeleteRemovesLinksWithoutFollowingThem)
{
    TempNamespace ns;
    const std::string precious = ns.makeFile("precious.dw2", "keep me");
    ns.makeFolder("home/doomed");
    ns.makeFile("home/doomed/a.dw2");
    ns.makeLink(precious, "home/doomed/link");
    const IdListPtr doomed = parsingNameToIdList(ns.home + "/doomed");
    ReportRecorder recorder;
    ASSERT_EQ(deleteItemPermanently(doomed.get(), ns.home + "/doomed"), S_OK);
    EXPECT_FALSE(exists(ns.home + "/doomed"));
    EXPECT_TRUE(exists(precious));
    ASSERT_EQ(recorder.reports.size(), 1u);
    EXPECT_EQ(recorder.reports[0].event, SHCNE_RMDIR);
    EXPECT_EQ(deleteItemPermanently(doomed.get(), ns.home + "/doomed"), E_FILE_NOT_FOUND);
}

TEST(FileOperations, MoveToTrashLandsInTheUsersTrash)
{
    TempNamespace ns;
    const std::string file = ns.makeFile("home/old.dw2");
    // Qt finds the trash from the environment: point it at the test's home.
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", ns.home.c_str(), 1);
    ::setenv("XDG_DATA_HOME", (ns.home + "/.local/share").c_str(), 1);
    const IdListPtr id = parsingNameToIdList(file);
    const HResult result = moveItemToTrash(id.get(), file);
    ::setenv("HOME", savedHome.c_str(), 1);
    ::unsetenv("XDG_DATA_HOME");
    ASSERT_EQ(result, S_OK);
    EXPECT_FALSE(exists(file));
    EXPECT_TRUE(exists(ns.trash + "/files/old.dw2"));
    ShellFolderPtr trash = bindToFolder(parsingNameToIdList("trash:///").get());
    const auto entries = enumerate(*trash, SHCONTF_NONFOLDERS);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(displayName(*trash, entries[0].get()), "old.dw2");
}

TEST(ContextMenu, RenameIsCommand19AndDeleteNeedsExtendedVerbs)
{
    TempNamespace ns;
    const std::string file = ns.makeFile("home/a.dw2");
    Child child = childAt(file);
    std::unique_ptr<IContextMenu> menu;
    ASSERT_EQ(child.parent->GetUIObjectOf({child.relative.get()}, menu), S_OK);
    const auto plain = menuOf(*menu, CMF_EXPLORE | CMF_CANRENAME);
    ASSERT_TRUE(entryWithVerb(plain, "rename"));
    EXPECT_EQ(entryWithVerb(plain, "rename")->command, 19u);
    EXPECT_EQ(entryWithVerb(plain, "open")->command, 1u);
    EXPECT_TRUE(entryWithVerb(plain, "open")->isDefault);
    EXPECT_TRUE(entryWithVerb(plain, "trash"));
    EXPECT_FALSE(entryWithVerb(plain, "delete"));
    EXPECT_FALSE(entryWithVerb(menuOf(*menu, CMF_EXPLORE), "rename"));
    EXPECT_TRUE(entryWithVerb(menuOf(*menu, CMF_EXPLORE | CMF_EXTENDEDVERBS), "delete"));
}

TEST(ContextMenu, DeleteAsksFirstAndLosesNothingWhenRefused)
{
    TempNamespace ns;
    const std::string file = ns.makeFile("home/a.dw2");
    Child child = childAt(file);
    std::unique_ptr<IContextMenu> menu;
    ASSERT_EQ(child.parent->GetUIObjectOf({child.relative.get()}, menu), S_OK);
    const auto entries = menuOf(*menu, CMF_EXTENDEDVERBS);
    const unsigned deleteOffset = entryWithVerb(entries, "delete")->command - 1;
    ScriptedUi ui;
    EXPECT_EQ(menu->InvokeCommand(deleteOffset, ui), S_FALSE);
    EXPECT_TRUE(exists(file));
    ui.confirmAnswer = true;
    EXPECT_EQ(menu->InvokeCommand(deleteOffset, ui), S_OK);
    EXPECT_FALSE(exists(file));
    // A second run finds nothing and says so.
    EXPECT_TRUE(failed(menu->InvokeCommand(deleteOffset, ui)));
    EXPECT_EQ(ui.errors.size(), 1u);
}

TEST(ContextMenu, NewFolderAndCopyLocationOnAFolder)
{
    TempNamespace ns;
    const std::string folder = ns.makeFolder("home/Calendars");
    ns.makeFolder("home/Calendars/Taken");
    Child child = childAt(folder);
    std::unique_ptr<IContextMenu> menu;
    ASSERT_EQ(child.parent->GetUIObjectOf({child.relative.get()}, menu), S_OK);
    const auto entries = menuOf(*menu, CMF_EXPLORE);
    const unsigned newFolder = entryWithVerb(entries, "newfolder")->command - 1;
    ScriptedUi ui;
    ui.textAnswer = "Taken";
    EXPECT_EQ(menu->InvokeCommand(newFolder, ui), E_ALREADY_EXISTS);
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_NE(ui.errors[0].find("already exists"), std::string::npos);
    ui.textAnswer = "2026";
    EXPECT_EQ(menu->InvokeCommand(newFolder, ui), S_OK);
    EXPECT_TRUE(std::filesystem::is_directory(folder + "/2026"));
    EXPECT_EQ(menu->InvokeCommand(entryWithVerb(entries, "copylocation")->command - 1, ui), S_OK);
    EXPECT_EQ(ui.copied, folder);
}

TEST(ContextMenu, OpenWithStartsTheChosenProgramOnTheExactFile)
{
    TempNamespace ns;
    const std::string file = ns.makeFile(std::string("home/odd\xff name.dw2"), "calendar");
    Child child = childAt(file);
    std::unique_ptr<IContextMenu> menu;
    ASSERT_EQ(child.parent->GetUIObjectOf({child.relative.get()}, menu), S_OK);
    const unsigned openWith = entryWithVerb(menuOf(*menu, CMF_EXPLORE), "openwith")->command - 1;
    ScriptedUi ui;
    EXPECT_EQ(menu->InvokeCommand(openWith, ui), S_FALSE); // cancelled
    ui.application = {"cp", file, file + ".copy"};
    ASSERT_EQ(menu->InvokeCommand(openWith, ui), S_OK);
    for (int i = 0; i < 500 && !exists(file + ".copy"); ++i)
        ::usleep(10000);
    EXPECT_TRUE(exists(file + ".copy"));
    ui.application = {"no-such-program-anywhere-4711", file};
    EXPECT_EQ(menu->InvokeCommand(openWith, ui), E_FAIL);
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_NE(ui.errors[0].find("Could not start"), std::string::npos);
}

TEST(FileOperations, TrashingANameThatIsNotTextTakesExactlyThatFile)
{
    TempNamespace ns;
    const std::string odd = ns.makeFile(std::string("home/cal\xff.dw2"), "odd");
    const std::string twin = ns.makeFile("home/cal\xEF\xBF\xBD.dw2", "twin"); // what a lossy decoding gives
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", ns.home.c_str(), 1);
    ::setenv("XDG_DATA_HOME", (ns.home + "/.local/share").c_str(), 1);
    const IdListPtr id = parsingNameToIdList(odd);
    const HResult result = moveItemToTrash(id.get(), odd);
    ::setenv("HOME", savedHome.c_str(), 1);
    ::unsetenv("XDG_DATA_HOME");
    ASSERT_EQ(result, S_OK);
    EXPECT_FALSE(exists(odd));
    EXPECT_TRUE(exists(twin));
    EXPECT_TRUE(exists(ns.trash + "/files/cal\xff.dw2"));
    ShellFolderPtr trash = bindToFolder(parsingNameToIdList("trash:///").get());
    const auto entries = enumerate(*trash, SHCONTF_NONFOLDERS);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(displayName(*trash, entries[0].get()), "cal\xEF\xBF\xBD.dw2");
}

TEST(FileOperations, VolumesAreNeverDeleted)
{
    // /proc is a mount point whose files cannot be removed even by root.
    const IdListPtr proc = parsingNameToIdList("/proc");
    ASSERT_TRUE(proc);
    EXPECT_EQ(deleteItemPermanently(proc.get(), "/proc"), E_ACCESSDENIED);
    EXPECT_EQ(moveItemToTrash(proc.get(), "/proc"), E_ACCESSDENIED);
}

TEST(ContextMenu, VolumesAndTheHomeFolderOfferNoTrashOrDelete)
{
    TempNamespace ns("/dev/sdz1 @ROOT@/usb vfat rw 0 0\n");
    ns.makeFolder("usb");
    const auto desktop = ns.desktopFolder();
    std::vector<IdListPtr> items;
    items.push_back(parsingNameToIdList(ns.root + "/usb")); // Computer, then the stick
    items.push_back(parsingNameToIdList("/"));
    items.push_back(std::move(enumerate(*desktop, SHCONTF_FOLDERS)[0])); // the home folder
    for (const IdListPtr& absolute : items) {
        ASSERT_TRUE(absolute);
        const std::string name = idListToParsingName(absolute.get());
        ShellFolderPtr parent = bindToParent(absolute.get());
        std::unique_ptr<IContextMenu> menu;
        ASSERT_EQ(parent->GetUIObjectOf({ILFindLastID(absolute.get())}, menu), S_OK) << name;
        const auto entries = menuOf(*menu, CMF_EXPLORE | CMF_EXTENDEDVERBS | CMF_CANRENAME);
        EXPECT_FALSE(entryWithVerb(entries, "trash")) << name;
        EXPECT_FALSE(entryWithVerb(entries, "delete")) << name;
        EXPECT_TRUE(entryWithVerb(entries, "open")) << name;
    }
}

namespace {

// The verbs the menu of `absolute` offers when everything may be offered.
std::vector<std::string> verbsOffered(const ItemIdList* absolute)
{
    ShellFolderPtr parent = bindToParent(absolute);
    std::unique_ptr<IContextMenu> menu;
    if (!parent || failed(parent->GetUIObjectOf({ILFindLastID(absolute)}, menu)) || !menu)
        return {"<no menu>"};
    std::vector<std::string> verbs;
    for (const ContextMenuEntry& entry : menuOf(*menu, CMF_EXPLORE | CMF_CANRENAME | CMF_EXTENDEDVERBS)) {
        if (!entry.separator())
            verbs.push_back(entry.verb);
    }
    return verbs;
}

using Verbs = std::vector<std::string>;

} // namespace

TEST(ContextMenu, EveryItemOffersOnlyTheVerbsThatWorkForIt)
{
    TempNamespace ns("srv:/export @ROOT@/net nfs4 rw 0 0\n/dev/sdz1 @ROOT@/usb vfat rw 0 0\n");
    ns.makeFolder("net");
    ns.makeFolder("usb");
    ns.trashFile("kept.dw2", ns.home + "/kept.dw2");
    ns.makeFile("home/.local/share/Trash/files/stray", "no record of where it came from");
    const Verbs folderVerbs{"open", "newfolder", "copylocation", "properties"};

    EXPECT_EQ(verbsOffered(emptyIdList().get()), Verbs{"<no menu>"}); // the desktop
    for (const char* virtualFolder : {"computer:///", "network:///", "trash:///"})
        EXPECT_EQ(verbsOffered(parsingNameToIdList(virtualFolder).get()), Verbs{}) << virtualFolder;
    EXPECT_EQ(verbsOffered(parsingNameToIdList(ns.root + "/usb").get()), folderVerbs); // a drive
    EXPECT_EQ(verbsOffered(parsingNameToIdList("//srv/export").get()), folderVerbs);   // a share
    EXPECT_EQ(verbsOffered(enumerate(*ns.desktopFolder(), SHCONTF_FOLDERS)[0].get()), folderVerbs); // home
    EXPECT_EQ(verbsOffered(parsingNameToIdList(ns.makeFile("home/a.dw2")).get()),
              (Verbs{"open", "openwith", "copylocation", "rename", "trash", "delete", "properties"}));
    EXPECT_EQ(verbsOffered(parsingNameToIdList("trash:///kept.dw2").get()), (Verbs{"restore", "delete"}));
    EXPECT_EQ(verbsOffered(parsingNameToIdList("trash:///stray").get()), Verbs{"delete"});

    // Asked for all the same, a verb that cannot work does nothing and says nothing.
    const IdListPtr computer = parsingNameToIdList("computer:///");
    std::unique_ptr<IContextMenu> menu;
    ASSERT_EQ(ns.desktopFolder()->GetUIObjectOf({computer.get()}, menu), S_OK);
    ScriptedUi ui;
    EXPECT_EQ(menu->InvokeCommand(0, ui), E_NOTIMPL);
    EXPECT_TRUE(ui.errors.empty());
}

TEST(ContextMenu, NothingIsMadeRenamedOrTrashedOnAVolumeThatCannotBeWritten)
{
    TempNamespace ns("/dev/sdy1 @ROOT@/disc ext4 ro 0 0\n");
    ScratchVolume volume(ns.root + "/disc", "1m");
    if (!volume.mounted())
        GTEST_SKIP() << "mounting a tmpfs needs root";
    // Filled first, then made read-only: even root may not write it then.
    ns.makeFolder("disc/Calendars");
    ns.makeFile("disc/Calendars/a.dw2");
    ASSERT_TRUE(volume.makeReadOnly());
    EXPECT_EQ(verbsOffered(parsingNameToIdList(ns.root + "/disc").get()),
              (Verbs{"open", "copylocation", "properties"}));
    EXPECT_EQ(verbsOffered(parsingNameToIdList(ns.root + "/disc/Calendars").get()),
              (Verbs{"open", "copylocation", "properties"}));
    EXPECT_EQ(verbsOffered(parsingNameToIdList(ns.root + "/disc/Calendars/a.dw2").get()),
              (Verbs{"open", "openwith", "copylocation", "properties"}));
}
