#include "NamespaceFixture.h"

#include "platform/namespace/ChangeReport.h"
#include "platform/namespace/ContextMenu.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

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
