// SPDX-License-Identifier: MIT
#include "shell/controller/StShellController.h"

#include "platform/fakenamespace/FakeNamespace.h"

#include <gtest/gtest.h>

#include <map>

using namespace dw::platform;
using namespace dw::platform::fake;

namespace {

// Stands in for the folder tree: records nodes as the controller adds them.
class RecordingTree : public IStShellTreeTarget {
public:
    struct Node {
        TStTreeNodeHandle parent;
        std::string text;
        TStNodeImages images;
        bool hasChildren = false;
    };

    bool showFiles = false;
    bool showHidden = false;
    std::function<bool(TStShellFolder&)> filter;
    TStShellFolderList folders;
    std::vector<Node> nodes;

    bool ShowFiles() const override { return showFiles; }
    bool ShowHidden() const override { return showHidden; }
    bool HasFilterHook() const override { return static_cast<bool>(filter); }
    void FilterItem(TStShellFolder& item, bool& accept) override
    {
        EXPECT_TRUE(accept);
        accept = filter(item);
    }
    TStTreeNodeHandle AddChildNode(TStTreeNodeHandle parent, const std::string& text,
                                   std::unique_ptr<TStShellFolder> folder, const TStNodeImages& images) override
    {
        folders.Add(std::move(folder));
        nodes.push_back({parent, text, images});
        return reinterpret_cast<TStTreeNodeHandle>(nodes.size());
    }
    void MarkHasChildren(TStTreeNodeHandle node) override
    {
        nodes[reinterpret_cast<std::size_t>(node) - 1].hasChildren = true;
    }

    std::vector<std::string> texts() const
    {
        std::vector<std::string> result;
        for (const Node& node : nodes)
            result.push_back(node.text);
        return result;
    }
    const Node& node(const std::string& text) const
    {
        for (const Node& node : nodes) {
            if (node.text == text)
                return node;
        }
        throw std::runtime_error("no node " + text);
    }
};

class RecordingList : public IStShellListTarget {
public:
    bool ShowHidden() const override { return false; }
    bool AddItem(std::unique_ptr<TStShellItem> item) override
    {
        events.push_back("item " + item->GetDisplayName());
        items.Add(std::move(item));
        return true;
    }
    void StartSearchAnimation() override { events.push_back("start"); }
    void StopSearchAnimation() override { events.push_back("stop"); }
    std::vector<std::string> events;
    TStShellItemList items;
};

class RecordingCombo : public IStShellComboTarget {
public:
    bool AddFolder(std::unique_ptr<TStShellFolder> folder) override
    {
        folders.Add(std::move(folder));
        return true;
    }
    TStShellFolderList folders;
};

class EnumerationTest : public ::testing::Test {
protected:
    std::shared_ptr<FakeNamespace> ns = std::make_shared<FakeNamespace>();
    ScopedShellNamespace scope{ns};
    RecordingTree tree;
    TStCustomShellController controller;
    int parentNode = 42;

    FakeNode& home = ns->addFolder(ns->desktop(), "Home", "/home/ann");

    void SetUp() override
    {
        controller.SetTreeTarget(&tree);
        controller.SetTreeNode(&parentNode);
    }
    void enumerate(const FakeNode& node, TStEnumerationMode mode = TStEnumerationMode::Tree)
    {
        controller.Enumerate(ns->absoluteOf(node).get(), mode);
    }
};

} // namespace

TEST_F(EnumerationTest, TreeModeAddsFoldersUnderTheCurrentNode)
{
    ns->addFolder(home, "Calendars", "/home/ann/Calendars");
    ns->addFolder(home, "Music", "/home/ann/Music");
    ns->addFile(home, "notes.txt", "/home/ann/notes.txt");
    enumerate(home);
    EXPECT_EQ(tree.texts(), (std::vector<std::string>{"Calendars", "Music"}));
    for (const auto& node : tree.nodes)
        EXPECT_EQ(node.parent, &parentNode);
    const TStShellFolder* calendars = tree.folders.Items(0);
    EXPECT_EQ(calendars->GetPath(), "/home/ann/Calendars");
    EXPECT_TRUE(calendars->IsFileFolder());
    EXPECT_TRUE(ILIsEqual(calendars->GetAbsoluteIdList(), ns->absoluteOf(*home.children[0]).get()));
    EXPECT_TRUE(ILIsEqual(calendars->GetParentFolder()->AbsoluteIdList(), ns->absoluteOf(home).get()));
}

TEST_F(EnumerationTest, FilesAndHiddenItemsOnlyWithTheTreeOptions)
{
    ns->addFolder(home, ".config", "/home/ann/.config").attributes |= SFGAO_HIDDEN;
    ns->addFile(home, "notes.txt", "/home/ann/notes.txt");
    enumerate(home);
    EXPECT_TRUE(tree.nodes.empty());
    tree.showFiles = true;
    enumerate(home);
    EXPECT_EQ(tree.texts(), (std::vector<std::string>{"notes.txt"}));
    tree.showHidden = true;
    tree.nodes.clear();
    enumerate(home);
    EXPECT_EQ(tree.texts(), (std::vector<std::string>{".config", "notes.txt"}));
}

TEST_F(EnumerationTest, FilterHookDecidesAndRejectedItemsAreFreed)
{
    ns->addFolder(home, "keep", "/home/ann/keep");
    ns->addFolder(home, "drop", "/home/ann/drop");
    tree.filter = [](TStShellFolder& item) { return item.GetDisplayName() != "drop"; };
    enumerate(home);
    EXPECT_EQ(tree.texts(), (std::vector<std::string>{"keep"}));
    EXPECT_EQ(tree.folders.Count(), 1);
}

TEST_F(EnumerationTest, ExpandButtonOnlyWhereChildrenCanBe)
{
    FakeNode& withSub = ns->addFolder(home, "withSub", "/home/ann/withSub");
    ns->addFolder(withSub, "inner", "/home/ann/withSub/inner");
    FakeNode& filesOnly = ns->addFolder(home, "filesOnly", "/home/ann/filesOnly");
    ns->addFile(filesOnly, "a", "/home/ann/filesOnly/a");
    ns->addFolder(home, "empty", "/home/ann/empty");
    enumerate(home);
    EXPECT_TRUE(tree.node("withSub").hasChildren);
    EXPECT_FALSE(tree.node("filesOnly").hasChildren);
    EXPECT_FALSE(tree.node("empty").hasChildren);

    tree.nodes.clear();
    tree.showFiles = true; // now a folder with files can be expanded
    enumerate(home);
    EXPECT_TRUE(tree.node("filesOnly").hasChildren);
}

TEST_F(EnumerationTest, RemovableAndRemoteFoldersAreNotOpenedForTheirButton)
{
    FakeNode& stick = ns->addFolder(home, "stick", "/media/stick");
    stick.driveType = DriveType::Removable;
    ns->addFolder(stick, "photos", "/media/stick/photos");
    stick.failEnumeration = true; // would show if it were opened
    FakeNode& share = ns->addFolder(home, "share", "/mnt/share");
    share.driveType = DriveType::Remote;
    ns->addFolder(share, "x", "/mnt/share/x");
    FakeNode& fixed = ns->addFolder(home, "fixed", "/data");
    ns->addFolder(fixed, "y", "/data/y");
    fixed.failEnumeration = true;
    enumerate(home);
    EXPECT_TRUE(tree.node("stick").hasChildren);
    EXPECT_TRUE(tree.node("share").hasChildren);
    EXPECT_FALSE(tree.node("fixed").hasChildren); // opened, and it failed
}

TEST_F(EnumerationTest, VirtualFoldersAreNotProbedEither)
{
    FakeNode& computer = ns->addFolder(ns->desktop(), "Computer", "computer:///", false);
    computer.driveType = DriveType::NoRootDir;
    ns->addFolder(computer, "/", "/");
    computer.failEnumeration = true;
    enumerate(ns->desktop());
    EXPECT_TRUE(tree.node("Computer").hasChildren);
}

TEST_F(EnumerationTest, OverlaysForSharesAndLinks)
{
    FakeNode& network = ns->addFolder(ns->desktop(), "Network", "network:///", false);
    ns->addShare(network, "Music", "nas");
    ns->addFolder(network, "link", "/l").attributes |= SFGAO_LINK;
    enumerate(network);
    EXPECT_EQ(tree.node("Music").images.overlay, 0); // the server part is cut
    EXPECT_EQ(tree.node("link").images.overlay, 1);
    EXPECT_GE(tree.node("Music").images.imageIndex, 0);
}

TEST_F(EnumerationTest, TheDesktopAndOneLevelLists)
{
    enumerate(ns->desktop());
    EXPECT_EQ(tree.texts(), (std::vector<std::string>{"Home"}));
    ns->addFolder(home, "Calendars", "/home/ann/Calendars");
    tree.nodes.clear();
    enumerate(home);
    EXPECT_EQ(tree.texts(), (std::vector<std::string>{"Calendars"}));
}

TEST_F(EnumerationTest, FailuresSkipSilently)
{
    FakeNode& broken = ns->addFolder(home, "broken", "/home/ann/broken");
    ns->addFolder(broken, "x", "/home/ann/broken/x");
    broken.failEnumeration = true;
    enumerate(broken);
    EXPECT_TRUE(tree.nodes.empty());
    FakeNode& unbindable = ns->addFolder(home, "unbindable", "/home/ann/unbindable");
    ns->addFolder(unbindable, "y", "/home/ann/unbindable/y");
    unbindable.failBind = true;
    enumerate(unbindable);
    EXPECT_TRUE(tree.nodes.empty());
}

// When neither the folder's parent nor the folder itself can be bound, the
// desktop is listed, and its children get the desktop's own id lists.
TEST_F(EnumerationTest, UnreachableFoldersFallBackToTheDesktopWithTheEmptyList)
{
    FakeNode& calendars = ns->addFolder(home, "Calendars", "/home/ann/Calendars");
    home.failBind = true;
    calendars.failBind = true;
    enumerate(calendars);
    ASSERT_EQ(tree.texts(), (std::vector<std::string>{"Home"}));
    EXPECT_TRUE(ILIsEqual(tree.folders.Items(0)->GetAbsoluteIdList(), ns->absoluteOf(home).get()));
}

TEST_F(EnumerationTest, ChildrenGoUnderTheNodeGiven)
{
    ns->addFolder(home, "Calendars", "/home/ann/Calendars");
    int otherNode = 7;
    controller.Enumerate(ns->absoluteOf(home).get(), TStEnumerationMode::Tree, &otherNode);
    ASSERT_EQ(tree.nodes.size(), 1u);
    EXPECT_EQ(tree.nodes[0].parent, &otherNode);
}

TEST_F(EnumerationTest, WithoutATreeNothingIsKept)
{
    ns->addFolder(home, "Calendars", "/home/ann/Calendars");
    controller.SetTreeTarget(nullptr);
    enumerate(home);
    EXPECT_EQ(controller.GetItemList().Count(), 0);
}

TEST_F(EnumerationTest, FileListModeFillsTheControllersListWithFilesAndFolders)
{
    ns->addFolder(home, "Calendars", "/home/ann/Calendars");
    ns->addFile(home, "a.dw2", "/home/ann/a.dw2");
    enumerate(home, TStEnumerationMode::FileList);
    ASSERT_EQ(controller.GetItemList().Count(), 2);
    EXPECT_TRUE(controller.GetItemList().Items(1)->IsFile());
    EXPECT_EQ(dynamic_cast<TStShellFolder*>(controller.GetItemList().Items(0)), nullptr); // plain items
}

TEST_F(EnumerationTest, FileListShowsTheSearchAnimationForVirtualFolders)
{
    RecordingList list;
    controller.SetListTarget(&list);
    FakeNode& network = ns->addFolder(ns->desktop(), "Network", "network:///", false);
    ns->addShare(network, "Music", "nas");
    enumerate(network, TStEnumerationMode::FileList);
    EXPECT_EQ(list.events, (std::vector<std::string>{"start", "stop", "item Music"}));
    list.events.clear();
    ns->addFile(home, "a.dw2", "/home/ann/a.dw2");
    enumerate(home, TStEnumerationMode::FileList);
    EXPECT_EQ(list.events, (std::vector<std::string>{"item a.dw2"}));
}

TEST_F(EnumerationTest, FolderComboModeAddsFoldersWithTheirIcons)
{
    RecordingCombo combo;
    controller.SetComboTarget(&combo);
    ns->addFolder(home, "Calendars", "/home/ann/Calendars");
    ns->addFile(home, "a.dw2", "/home/ann/a.dw2");
    enumerate(home, TStEnumerationMode::FolderCombo);
    ASSERT_EQ(combo.folders.Count(), 1);
    EXPECT_EQ(combo.folders.Items(0)->GetDisplayName(), "Calendars");
    EXPECT_GE(combo.folders.Items(0)->GetIconIndex(), 0);
    EXPECT_TRUE(tree.nodes.empty());
}
