// SPDX-License-Identifier: MIT
#include "shell/controller/StShellController.h"
#include "shell/items/StShellFolder.h"
#include "shell/items/StShellItem.h"

#include "platform/fakenamespace/FakeNamespace.h"

#include <gtest/gtest.h>

using namespace dw::platform;
using namespace dw::platform::fake;

namespace {

class ShellItemTest : public ::testing::Test {
protected:
    std::shared_ptr<FakeNamespace> ns = std::make_shared<FakeNamespace>();
    ScopedShellNamespace scope{ns};
    TStCustomShellController controller;

    std::unique_ptr<TStShellItem> itemFor(const FakeNode& node)
    {
        return std::make_unique<TStShellItem>(ns->absoluteOf(node).get(), &controller);
    }
};

constexpr SfgaoFlags kEveryQueriedBit = SFGAO_CANRENAME | SFGAO_HASSUBFOLDER | SFGAO_COMPRESSED | SFGAO_HIDDEN
    | SFGAO_LINK | SFGAO_SHARE | SFGAO_FOLDER;

} // namespace

TEST_F(ShellItemTest, DesktopAnswersItsQueriesWithoutAskingTheShell)
{
    ns->desktop().attributes |= kEveryQueriedBit;
    const auto desktop = itemFor(ns->desktop());
    EXPECT_TRUE(desktop->IsDesktop());
    EXPECT_EQ(desktop->GetDisplayName(), "Desktop");
    const std::size_t asked = ns->attributeRequests.size();
    EXPECT_FALSE(desktop->CanRename());
    EXPECT_FALSE(desktop->HasSubFolders());
    EXPECT_FALSE(desktop->IsCompressed());
    EXPECT_FALSE(desktop->IsHidden());
    EXPECT_FALSE(desktop->IsLink());
    EXPECT_EQ(ns->attributeRequests.size(), asked);
    // The desktop has its parent folder (itself), so these two do ask.
    EXPECT_TRUE(desktop->IsFolder());
    EXPECT_TRUE(desktop->IsShared());
}

TEST_F(ShellItemTest, ConstructionFromAnAbsoluteList)
{
    FakeNode& home = ns->addFolder(ns->desktop(), "Home", "/home/ann");
    FakeNode& docs = ns->addFolder(home, "Documents", "/home/ann/Documents");
    FakeNode& file = ns->addFile(docs, "a.dw2", "/home/ann/Documents/a.dw2");
    const IdListPtr list = ns->absoluteOf(file);
    const TStShellItem item(list.get(), &controller);
    EXPECT_TRUE(ILIsEqual(item.GetAbsoluteIdList(), list.get()));
    EXPECT_NE(item.GetAbsoluteIdList(), list.get()); // its own copy
    EXPECT_TRUE(ILIsEqual(item.GetRelativeIdList(), ILFindLastID(list.get())));
    EXPECT_TRUE(ILIsEqual(item.GetParentFolder()->AbsoluteIdList(), ns->absoluteOf(docs).get()));
    EXPECT_EQ(item.GetPath(), "/home/ann/Documents/a.dw2");
    EXPECT_EQ(item.GetDisplayName(), "a.dw2");
    EXPECT_TRUE(item.IsFileSystem());
    EXPECT_TRUE(item.IsFile());
    EXPECT_FALSE(item.IsFileFolder());
    EXPECT_FALSE(item.IsDesktop());
    EXPECT_EQ(item.GetController(), &controller);
    EXPECT_FALSE(item.GetOwnsController());
}

TEST_F(ShellItemTest, FileSystemFlagsOfFoldersAndVirtualFolders)
{
    FakeNode& folder = ns->addFolder(ns->desktop(), "Calendars", "/cal");
    FakeNode& printers = ns->addFolder(ns->desktop(), "Printers", "printers:///", false);
    const auto real = itemFor(folder);
    EXPECT_TRUE(real->IsFileSystem());
    EXPECT_TRUE(real->IsFileFolder());
    EXPECT_FALSE(real->IsFile());
    const auto virtualFolder = itemFor(printers);
    EXPECT_FALSE(virtualFolder->IsFileSystem());
    EXPECT_FALSE(virtualFolder->IsFileFolder());
    EXPECT_FALSE(virtualFolder->IsFile());
    EXPECT_TRUE(virtualFolder->IsFolder());
}

TEST_F(ShellItemTest, NetworkShareShowsWithoutItsServer)
{
    FakeNode& network = ns->addFolder(ns->desktop(), "Network", "network:///", false);
    FakeNode& share = ns->addShare(network, "Music", "nas");
    EXPECT_EQ(itemFor(share)->GetDisplayName(), "Music");
    EXPECT_EQ(itemFor(share)->GetPath(), "//nas/Music");
    FakeNode& backslashed = ns->addFolder(network, "Films on nas", "\\\\nas\\Films", false);
    EXPECT_EQ(itemFor(backslashed)->GetDisplayName(), "Films");
    // Only network paths are cut.
    FakeNode& local = ns->addFolder(ns->desktop(), "Notes on paper", "/notes on paper");
    EXPECT_EQ(itemFor(local)->GetDisplayName(), "Notes on paper");
}

TEST_F(ShellItemTest, FailedBindLeavesTheDesktopAsParent)
{
    FakeNode& locked = ns->addFolder(ns->desktop(), "Locked", "/locked");
    FakeNode& inside = ns->addFile(locked, "x", "/locked/x");
    locked.failBind = true;
    const auto item = itemFor(inside);
    ASSERT_TRUE(item->GetParentFolder());
    EXPECT_EQ(ILGetSize(item->GetParentFolder()->AbsoluteIdList()), 2u);
    // The desktop does not know the id: the names stay empty, the flags false.
    EXPECT_EQ(item->GetDisplayName(), "");
    EXPECT_EQ(item->GetPath(), "");
    EXPECT_FALSE(item->IsFileSystem());
}

TEST_F(ShellItemTest, FailedNameAndAttributeQueriesLeaveEmptyAndFalse)
{
    FakeNode& odd = ns->addFolder(ns->desktop(), "Odd", "/odd");
    odd.attributes |= SFGAO_HIDDEN;
    odd.failDisplayName = true;
    odd.failAttributes = true;
    const auto item = itemFor(odd);
    EXPECT_EQ(item->GetDisplayName(), "");
    EXPECT_EQ(item->GetPath(), "");
    EXPECT_FALSE(item->IsFileSystem());
    EXPECT_FALSE(item->IsHidden());
}

TEST_F(ShellItemTest, EachQueryAsksForItsOneBit)
{
    FakeNode& folder = ns->addFolder(ns->desktop(), "F", "/f");
    folder.attributes |= SFGAO_HIDDEN | SFGAO_LINK;
    const auto item = itemFor(folder);
    ns->attributeRequests.clear();
    EXPECT_TRUE(item->IsHidden());
    EXPECT_TRUE(item->IsLink());
    EXPECT_FALSE(item->CanRename());
    EXPECT_FALSE(item->IsCompressed());
    EXPECT_TRUE(item->IsFolder());
    EXPECT_FALSE(item->IsShared());
    EXPECT_EQ(ns->attributeRequests, (std::vector<SfgaoFlags>{SFGAO_HIDDEN, SFGAO_LINK, SFGAO_CANRENAME,
                                                              SFGAO_COMPRESSED, SFGAO_FOLDER, SFGAO_SHARE}));
}

TEST_F(ShellItemTest, ItemWithoutParentAnswersSharedAndFolderFalse)
{
    TStShellItem empty(&controller);
    EXPECT_EQ(empty.GetSize(), -1);
    EXPECT_EQ(empty.GetIconIndex(), -1); // no list, nothing to look up
    EXPECT_FALSE(empty.IsShared());
    EXPECT_FALSE(empty.IsFolder());
}

TEST_F(ShellItemTest, ItemWithoutControllerMakesAndOwnsOne)
{
    FakeNode& folder = ns->addFolder(ns->desktop(), "F", "/f");
    const TStShellItem item(ns->absoluteOf(folder).get(), nullptr);
    EXPECT_TRUE(item.GetOwnsController());
    EXPECT_NE(item.GetController(), nullptr);
}

TEST_F(ShellItemTest, AssignMakesADeepCopy)
{
    FakeNode& folder = ns->addFolder(ns->desktop(), "Calendars", "/cal");
    auto source = std::make_unique<TStShellFolder>(ns->absoluteOf(folder).get(), nullptr);
    source->GetDetails() = {"Calendars", "4 KB"};
    source->SetTypeName("Folder");
    source->SetIndex(0, 7);
    source->SetIndex(3, 9);
    source->GetSize();

    TStShellFolder copy(&controller);
    copy.Assign(*source);
    const TStCustomShellController* sharedController = source->GetController();
    EXPECT_EQ(copy.GetController(), sharedController);
    EXPECT_FALSE(copy.GetOwnsController());
    EXPECT_NE(copy.GetAbsoluteIdList(), source->GetAbsoluteIdList());
    EXPECT_NE(copy.GetRelativeIdList(), source->GetRelativeIdList());
    EXPECT_EQ(copy.GetIndex(0), 7);
    EXPECT_EQ(copy.GetIndex(3), 9);
    EXPECT_EQ(copy.GetTypeName(), "Folder");
    source->GetDetails().push_back("changed later");
    EXPECT_EQ(copy.GetDetails(), (std::vector<std::string>{"Calendars", "4 KB"}));

    // The copy keeps working after its source (and the controller it shared) is gone.
    const IdListPtr expected = ns->absoluteOf(folder);
    copy.SetOwnerList(nullptr);
    source.reset();
    EXPECT_TRUE(ILIsEqual(copy.GetAbsoluteIdList(), expected.get()));
    EXPECT_EQ(copy.GetPath(), "/cal");
    EXPECT_TRUE(copy.IsFolder());
    EXPECT_EQ(copy.GetSize(), 0);
    EXPECT_GE(copy.GetIconIndex(), 0); // through the controller the source made
}

TEST_F(ShellItemTest, FolderAssignFromAPlainItemKeepsIndexesAndHandlesMissingLists)
{
    TStShellItem plain(&controller);
    plain.SetDisplayName("no lists");
    TStShellFolder folder(&controller);
    folder.SetIndex(1, 5);
    folder.Assign(plain);
    EXPECT_EQ(folder.GetDisplayName(), "no lists");
    EXPECT_EQ(folder.GetRelativeIdList(), nullptr);
    EXPECT_EQ(folder.GetIndex(1), 5);
    EXPECT_EQ(folder.GetIndex(7), -1);
}

TEST_F(ShellItemTest, ExecuteRunsTheDefaultVerbOfTheAbsoluteList)
{
    FakeNode& file = ns->addFile(ns->desktop(), "a.dw2", "/a.dw2");
    const auto item = itemFor(file);
    EXPECT_TRUE(item->Execute());
    ns->executeSucceeds = false;
    EXPECT_FALSE(item->Execute());
    EXPECT_EQ(ns->executed, (std::vector<std::string>{"/a.dw2", "/a.dw2"}));
}

TEST_F(ShellItemTest, ComparisonOrdersFoldersFirstThenNaturalNames)
{
    FakeNode& cal10 = ns->addFile(ns->desktop(), "Cal10", "/Cal10");
    FakeNode& cal9 = ns->addFile(ns->desktop(), "Cal9", "/Cal9");
    FakeNode& zeta = ns->addFolder(ns->desktop(), "zeta", "/zeta");
    EXPECT_LT(itemFor(cal9)->Compare(*itemFor(cal10)), 0);
    EXPECT_GT(itemFor(cal10)->Compare(*itemFor(cal9)), 0);
    EXPECT_LT(itemFor(zeta)->Compare(*itemFor(cal9)), 0);
    EXPECT_EQ(itemFor(cal9)->Compare(*itemFor(cal9)), 0);
}

TEST_F(ShellItemTest, IconsAreReadOnceAllThreeTogether)
{
    FakeNode& network = ns->addFolder(ns->desktop(), "Network", "network:///", false);
    FakeNode& share = ns->addShare(network, "Music", "nas");
    FakeNode& link = ns->addFile(ns->desktop(), "shortcut", "/shortcut");
    link.attributes |= SFGAO_LINK;
    FakeNode& folder = ns->addFolder(ns->desktop(), "plain", "/plain");

    const auto shareItem = itemFor(share);
    EXPECT_GE(shareItem->GetIconIndex(), 0);
    EXPECT_EQ(shareItem->GetOverlayIndex(), 0);
    EXPECT_EQ(itemFor(link)->GetOverlayIndex(), 1);
    const auto folderItem = itemFor(folder);
    EXPECT_EQ(folderItem->GetOverlayIndex(), -1);
    EXPECT_NE(folderItem->GetOpenIconIndex(), folderItem->GetIconIndex()); // folder-open
    const auto fileItem = itemFor(link);
    EXPECT_EQ(fileItem->GetOpenIconIndex(), fileItem->GetIconIndex());

    const std::size_t asked = ns->attributeRequests.size();
    folderItem->GetIconIndex();
    folderItem->GetOpenIconIndex();
    EXPECT_EQ(ns->attributeRequests.size(), asked);
}

TEST_F(ShellItemTest, AFailedIconQueryIsNotRepeatedByEveryGetter)
{
    FakeNode& broken = ns->addFolder(ns->desktop(), "Broken", "/broken");
    broken.failAttributes = true; // the icon query asks attributes too, and fails
    const auto item = itemFor(broken);
    EXPECT_EQ(item->GetIconIndex(), -1);
    const std::size_t asked = ns->attributeRequests.size();
    EXPECT_EQ(item->GetIconIndex(), -1);
    EXPECT_EQ(item->GetOpenIconIndex(), -1);
    EXPECT_EQ(item->GetOverlayIndex(), -1);
    EXPECT_EQ(ns->attributeRequests.size(), asked);
}

TEST_F(ShellItemTest, FolderAssignLeavesTheAncestorMarkAsItWas)
{
    FakeNode& folder = ns->addFolder(ns->desktop(), "Calendars", "/cal");
    TStShellFolder ancestor(ns->absoluteOf(folder).get(), &controller);
    ancestor.SetAncestorEntry(true);
    TStShellFolder copy(&controller);
    copy.Assign(ancestor);
    EXPECT_FALSE(copy.IsAncestorEntry());
    EXPECT_EQ(copy.GetPath(), "/cal");
    TStShellFolder marked(&controller);
    marked.SetAncestorEntry(true);
    marked.Assign(TStShellFolder(ns->absoluteOf(folder).get(), &controller));
    EXPECT_TRUE(marked.IsAncestorEntry());
}
