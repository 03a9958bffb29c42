// SPDX-License-Identifier: MIT
// The trash in the folder tree, over a real namespace in a temporary home:
// trashed folders show under their original names, Restore and Delete
// Permanently are on their context menu, and the tree follows both, and a
// Move to Trash too.

#include "NamespaceFixture.h"

#include "shell/items/StShellFolder.h"
#include "shell/tree/StShellTreeModel.h"
#include "shell/tree/StShellTreeView.h"
#include "tests/support/qt/EventLoopWaiting.h"

#include <QApplication>
#include <QContextMenuEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace dw::platform;
using namespace dw::platform::testing;

namespace {

class AnsweringYes : public IShellUi {
public:
    std::vector<std::string> errors;
    bool confirm(const std::string&, const std::string&) override { return true; }
    void showError(const std::string&, const std::string& message) override { errors.push_back(message); }
    bool askText(const std::string&, const std::string&, std::string&) override { return false; }
    void copyText(const std::string&) override {}
    bool chooseApplication(const std::string&, std::vector<std::string>&) override { return false; }
    void showProperties(const std::vector<std::string>&) override {}
};

class TreeTrashTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Move to Trash finds the home trash through the environment.
        savedHome_ = std::getenv("HOME") ? std::getenv("HOME") : "";
        ::setenv("HOME", ns.home.c_str(), 1);
        ::unsetenv("XDG_DATA_HOME");
        ns.makeFolder("home/Calendars");
    }
    void TearDown() override
    {
        tree.reset();
        ::setenv("HOME", savedHome_.c_str(), 1);
    }

    void trashFolder(const std::string& entryName, const std::string& originalPath)
    {
        std::filesystem::create_directory(ns.trash + "/files/" + entryName);
        std::ofstream(ns.trash + "/info/" + entryName + ".trashinfo")
            << "[Trash Info]\nPath=" << originalPath << "\nDeletionDate=2026-01-01T10:00:00\n";
    }

    void showTree()
    {
        tree = std::make_unique<TStShellTreeView>();
        tree->GetController()->SetShellUi(&ui);
        tree->show();
        tree->EnsurePopulated();
        openUnderHome("Calendars");
        expand(ns.home + "/Calendars"); // read, so it is watched and shows what comes back into it
    }

    // Expands the home folder's node down to `below` and selects it. (An
    // absolute path would open through Computer and the temporary folder,
    // whose changes by other programs would only flood the tree.)
    void openUnderHome(const std::string& below)
    {
        std::string path = ns.home;
        for (std::size_t at = 0; at != std::string::npos;) {
            expand(path);
            const std::size_t slash = below.find('/', at);
            path += "/" + below.substr(at, slash == std::string::npos ? std::string::npos : slash - at);
            at = slash == std::string::npos ? slash : slash + 1;
        }
        if (TStTreeNode* node = tree->NodeByPath(path))
            tree->setCurrentIndex(tree->Model().IndexOf(node));
        ASSERT_EQ(tree->FolderOf(tree->SelectedNode())->GetPath(), path);
    }

    void expand(const std::string& path)
    {
        TStTreeNode* node = tree->NodeByPath(path);
        ASSERT_TRUE(node) << path;
        tree->expand(tree->Model().IndexOf(node));
        dw::test::processEventsUntil([&] { return !tree->IsLoading(); }, 5000, 0);
    }

    std::vector<std::string> childTexts(const std::string& path) const
    {
        std::vector<std::string> texts;
        if (const TStTreeNode* node = tree->NodeByPath(path))
            for (const auto& child : node->children)
                texts.push_back(tree->Model().TextOf(*child));
        return texts;
    }

    bool hasExpandButton(const std::string& path) const
    {
        const TStTreeNode* node = tree->NodeByPath(path);
        return node && tree->Model().hasChildren(tree->Model().IndexOf(node));
    }

    // Picks `verb` on the selected node's context menu, as the menu key would.
    void runVerbOnSelected(const std::string& verb)
    {
        std::vector<std::string> offered;
        tree->GetController()->SetMenuChooser([&](const std::vector<ContextMenuEntry>& entries) {
            for (const auto& entry : entries)
                offered.push_back(entry.verb);
            const auto chosen = std::find_if(entries.begin(), entries.end(),
                                             [&](const ContextMenuEntry& entry) { return entry.verb == verb; });
            return chosen == entries.end() ? 0 : static_cast<int>(chosen->command);
        });
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5), tree->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(tree->viewport(), &event);
        ASSERT_NE(std::find(offered.begin(), offered.end(), verb), offered.end()) << verb << " is not offered";
    }

    TempNamespace ns;
    AnsweringYes ui;
    std::unique_ptr<TStShellTreeView> tree;

private:
    std::string savedHome_;
};

} // namespace

TEST_F(TreeTrashTest, ATrashedFolderShowsUnderItsNameAndRestoreBringsItBackToItsPlace)
{
    trashFolder("Old", ns.home + "/Calendars/Old Calendars");
    ns.trashFile("a.dw2", ns.home + "/a.dw2"); // a file: not in a tree of folders
    showTree();
    EXPECT_TRUE(hasExpandButton("trash:///"));
    tree->OpenAtPath("trash:///Old");
    ASSERT_EQ(childTexts("trash:///"), std::vector<std::string>{"Old Calendars"});
    EXPECT_EQ(tree->FolderOf(tree->SelectedNode())->GetPath(), "trash:///Old");

    runVerbOnSelected("restore");
    dw::test::processEventsUntil([&] { return childTexts("trash:///").empty(); });
    EXPECT_TRUE(childTexts("trash:///").empty());
    EXPECT_TRUE(std::filesystem::is_directory(ns.home + "/Calendars/Old Calendars"));
    // Its old parent shows it again.
    dw::test::processEventsUntil([&] { return !childTexts(ns.home + "/Calendars").empty(); });
    EXPECT_EQ(childTexts(ns.home + "/Calendars"), std::vector<std::string>{"Old Calendars"});
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(TreeTrashTest, DeletePermanentlyTakesTheEntryOutOfTheTree)
{
    trashFolder("Old", ns.home + "/Calendars/Old");
    trashFolder("Older", ns.home + "/Calendars/Older");
    showTree();
    tree->OpenAtPath("trash:///Old");
    ASSERT_EQ(childTexts("trash:///"), (std::vector<std::string>{"Old", "Older"}));
    runVerbOnSelected("delete");
    dw::test::processEventsUntil([&] { return childTexts("trash:///").size() == 1; });
    EXPECT_EQ(childTexts("trash:///"), std::vector<std::string>{"Older"});
    EXPECT_FALSE(std::filesystem::exists(ns.trash + "/files/Old"));
    EXPECT_FALSE(std::filesystem::exists(ns.trash + "/info/Old.trashinfo"));
}

TEST_F(TreeTrashTest, AFolderMovedToTheTrashAppearsThere)
{
    ns.makeFolder("home/Calendars/2019");
    showTree();
    EXPECT_FALSE(hasExpandButton("trash:///")); // nothing to show in it yet
    openUnderHome("Calendars/2019");
    runVerbOnSelected("trash");
    dw::test::processEventsUntil(
        [&] { return hasExpandButton("trash:///") && childTexts(ns.home + "/Calendars").empty(); });
    EXPECT_TRUE(childTexts(ns.home + "/Calendars").empty());
    EXPECT_TRUE(hasExpandButton("trash:///"));
    tree->OpenAtPath("trash:///2019");
    EXPECT_EQ(childTexts("trash:///"), std::vector<std::string>{"2019"});
}
