// SPDX-License-Identifier: MIT
#include "NamespaceFixture.h"

#include "platform/namespace/ChangeReport.h"
#include "platform/namespace/ContextMenu.h"
#include "platform/namespace/NaturalOrder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/inotify.h>
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
    ConfirmingUi ui;
    EXPECT_TRUE(failed(menu.menu->InvokeCommand(menu.offsetOf("restore"), ui)));
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
