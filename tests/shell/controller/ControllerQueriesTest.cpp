// SPDX-License-Identifier: MIT
#include "shell/controller/StShellController.h"

#include "platform/fakenamespace/FakeNamespace.h"

#include <gtest/gtest.h>

using namespace dw::platform;
using namespace dw::platform::fake;

namespace {

class ControllerTest : public ::testing::Test {
protected:
    std::shared_ptr<FakeNamespace> ns = std::make_shared<FakeNamespace>();
    ScopedShellNamespace scope{ns};
    TStCustomShellController controller;
};

class NoUi : public IShellUi {
public:
    bool confirm(const std::string&, const std::string&) override { return false; }
    void showError(const std::string&, const std::string&) override {}
    bool askText(const std::string&, const std::string&, std::string&) override { return false; }
    void copyText(const std::string&) override {}
    bool chooseApplication(const std::string&, std::vector<std::string>&) override { return false; }
    void showProperties(const std::vector<std::string>&) override {}
};

} // namespace

TEST_F(ControllerTest, CreationGetsTheDesktopAndBothImageLists)
{
    EXPECT_TRUE(controller.GetDesktopFolder());
    ASSERT_NE(controller.GetSmallImages(), nullptr);
    ASSERT_NE(controller.GetLargeImages(), nullptr);
    EXPECT_EQ(controller.GetSmallImages()->iconSize(), 16);
    EXPECT_EQ(controller.GetLargeImages()->iconSize(), 32);
    EXPECT_EQ(controller.GetReplacementIconIndex(), -1);
    EXPECT_GE(controller.GetLinkOverlayIndex(), 0);
    EXPECT_EQ(controller.GetVersion(), "1.02");
}

TEST_F(ControllerTest, DisplayNameAndBindAnswerEmptyAndNilOnFailure)
{
    FakeNode& folder = ns->addFolder(ns->desktop(), "Calendars", "/cal");
    const IdListPtr id = ns->absoluteOf(folder);
    IShellFolder& desktop = *controller.GetDesktopFolder();
    EXPECT_EQ(controller.GetDisplayName(desktop, id.get(), SHGDN_NORMAL), "Calendars");
    EXPECT_EQ(controller.GetDisplayName(desktop, id.get(), SHGDN_FORPARSING), "/cal");
    EXPECT_TRUE(controller.Bind(desktop, id.get()));
    folder.failDisplayName = true;
    folder.failBind = true;
    EXPECT_EQ(controller.GetDisplayName(desktop, id.get(), SHGDN_NORMAL), "");
    EXPECT_EQ(controller.Bind(desktop, id.get()), nullptr);
}

TEST_F(ControllerTest, IconQueryGivesStableIndexesAndTheName)
{
    FakeNode& a = ns->addFolder(ns->desktop(), "A", "/a");
    FakeNode& b = ns->addFolder(ns->desktop(), "B", "/b");
    int icon = -1, open = -1, overlay = 5;
    std::string name;
    controller.GetIconIndices(ns->absoluteOf(a).get(), icon, open, overlay, &name);
    int iconB = -1, openB = -1, overlayB = 5;
    controller.GetIconIndices(ns->absoluteOf(b).get(), iconB, openB, overlayB);
    EXPECT_EQ(name, "A");
    EXPECT_EQ(icon, iconB);
    EXPECT_EQ(open, openB);
    EXPECT_NE(icon, open);
    EXPECT_EQ(overlay, -1);
    EXPECT_EQ(SystemImageList::keyAt(icon).themeName, "folder");
    EXPECT_EQ(SystemImageList::keyAt(open).themeName, "folder-open");
}

TEST_F(ControllerTest, ThemeIconNamesOfTheNamespaceAreUsed)
{
    FakeNode& computer = ns->addFolder(ns->desktop(), "Computer", "computer:///", false);
    computer.iconName = "computer";
    int icon = -1, open = -1, overlay = -1;
    controller.GetIconIndices(ns->absoluteOf(computer).get(), icon, open, overlay);
    EXPECT_EQ(SystemImageList::keyAt(icon).themeName, "computer");
    EXPECT_EQ(SystemImageList::keyAt(icon).fallback, IconKey::Fallback::Computer);
}

TEST_F(ControllerTest, ContextMenuRunsTheChosenCommandAsVerbMinusOne)
{
    FakeNode& file = ns->addFile(ns->desktop(), "a.dw2", "/a.dw2");
    const IdListPtr id = ns->absoluteOf(file);
    NoUi ui;
    controller.SetShellUi(&ui);
    std::vector<unsigned> offered;
    controller.SetMenuChooser([&](const std::vector<ContextMenuEntry>& entries) {
        for (const auto& entry : entries)
            offered.push_back(entry.command);
        return 19;
    });
    FakeContextMenu::queriedFlags().clear();
    FakeContextMenu::invokedVerbs().clear();
    const int chosen = controller.ShowContextMenu(nullptr, *controller.GetDesktopFolder(), nullptr, 10, 10,
                                                  {ILFindLastID(id.get())}, {true, false, {}});
    EXPECT_EQ(chosen, 19);
    EXPECT_EQ(offered, (std::vector<unsigned>{1, 19}));
    EXPECT_EQ(FakeContextMenu::queriedFlags(), (std::vector<unsigned>{CMF_EXPLORE | CMF_CANRENAME}));
    EXPECT_EQ(FakeContextMenu::invokedVerbs(), (std::vector<unsigned>{18}));
}

TEST_F(ControllerTest, ContextMenuWithoutRenameAndWithNothingChosen)
{
    FakeNode& file = ns->addFile(ns->desktop(), "a.dw2", "/a.dw2");
    const IdListPtr id = ns->absoluteOf(file);
    controller.SetMenuChooser([](const std::vector<ContextMenuEntry>&) { return 0; });
    FakeContextMenu::queriedFlags().clear();
    FakeContextMenu::invokedVerbs().clear();
    EXPECT_EQ(controller.ShowContextMenu(nullptr, *controller.GetDesktopFolder(), nullptr, 0, 0,
                                         {ILFindLastID(id.get())}, {false, true, {}}),
              0);
    EXPECT_EQ(FakeContextMenu::queriedFlags(), (std::vector<unsigned>{CMF_EXPLORE})); // Shift is not held
    EXPECT_TRUE(FakeContextMenu::invokedVerbs().empty());
}

TEST_F(ControllerTest, ContextMenuOfNothingIsNotShown)
{
    bool shown = false;
    controller.SetMenuChooser([&](const std::vector<ContextMenuEntry>&) {
        shown = true;
        return 1;
    });
    EXPECT_EQ(controller.ShowContextMenu(nullptr, *controller.GetDesktopFolder(), nullptr, 0, 0, {}, {}), -1);
    const IdListPtr bogus(ILCreateFromData("nonsense"));
    EXPECT_EQ(controller.ShowContextMenu(nullptr, *controller.GetDesktopFolder(), nullptr, 0, 0, {bogus.get()}, {}),
              -1);
    EXPECT_FALSE(shown);
}
