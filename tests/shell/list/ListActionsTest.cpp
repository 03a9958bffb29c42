// SPDX-License-Identifier: MIT
// What the user does in the list, on the fake namespace: opening folders and
// files, renaming, the link with a folder tree in both directions, and a
// listing that hangs given up for another folder.

#include "ListTestSupport.h"

#include "base/exceptions/SsBase.h"
#include "shell/items/StShellFolder.h"
#include "shell/tree/StShellTreeModel.h"
#include "shell/tree/StShellTreeView.h"

#include <QTest>

using namespace list_testing;

namespace {

class ListActionsTest : public FakeListTest {
protected:
    FakeNode& work = ns->addFolder(calendars, "Work", "/home/ann/Calendars/Work");
    FakeNode& music = ns->addFolder(home, "Music", "/home/ann/Music");
    FakeNode* plan = nullptr;
    std::unique_ptr<TStShellTreeView> tree;
    std::vector<std::string> listFolders; // OnFolderChanged, in order

    void SetUp() override
    {
        ns->mapSpecialFolder(CSIDL_PERSONAL, home);
        plan = &file(calendars, "plan.dw2", 100);
        file(work, "week.dw2", 10);
        makeList();
        list->OnFolderChanged = [this](QObject*, TStShellFolder* folder) { listFolders.push_back(folder->GetPath()); };
    }

    int rowOf(const FakeNode& node) const { return list->Model().RowOfPath(node.parsingName); }
    void until(const std::function<bool()>& done) { dw::test::processEventsUntil(done, 3000, 0); }

    TStShellTreeView& makeTree()
    {
        tree = std::make_unique<TStShellTreeView>();
        tree->resize(300, 400);
        return *tree;
    }
    std::string treeSelection() const
    {
        const TStShellFolder* folder = tree->FolderOf(tree->SelectedNode());
        return folder ? folder->GetPath() : "<none>";
    }
};

using Names = std::vector<std::string>;

} // namespace

TEST_F(ListActionsTest, EnterOpensAFolderOrAFileWithItsLauncherAndBackspaceGoesUp)
{
    show(calendars);
    QAbstractItemView* view = list->CurrentView();
    view->setCurrentIndex(list->Model().index(rowOf(*plan), 0));
    QTest::keyClick(view, Qt::Key_Return);
    until([&] { return !ns->executed.empty(); });
    EXPECT_EQ(ns->executed, Names{"/home/ann/Calendars/plan.dw2"});
    EXPECT_EQ(list->GetPath(), "/home/ann/Calendars"); // a file does not change the folder

    // A handler may keep the list from opening the item.
    list->OnItemActivated = [](QObject*, TStShellItem*, bool& defaultAction) { defaultAction = false; };
    list->OpenItem(rowOf(*plan));
    list->OpenItem(rowOf(work));
    settle(100);
    EXPECT_EQ(ns->executed.size(), 1u);
    EXPECT_EQ(list->GetPath(), "/home/ann/Calendars");

    list->OnItemActivated = nullptr;
    view->setCurrentIndex(list->Model().index(rowOf(work), 0));
    QTest::keyClick(view, Qt::Key_Return);
    waitWhileLoading();
    EXPECT_EQ(list->GetPath(), "/home/ann/Calendars/Work");
    EXPECT_EQ(column(), Names{"week.dw2"});
    QTest::keyClick(list->CurrentView(), Qt::Key_Backspace);
    waitWhileLoading();
    EXPECT_EQ(list->GetPath(), "/home/ann/Calendars");
    EXPECT_EQ(listFolders, (Names{"/home/ann/Calendars", "/home/ann/Calendars/Work", "/home/ann/Calendars"}));
}

TEST_F(ListActionsTest, RenamingTakesTheNewNameOrSaysWhyNot)
{
    show(calendars);
    list->RenameItem(rowOf(*plan), "0 plan.dw2");
    until([&] { return cell("0 plan.dw2", lcName) != "<none>"; });
    EXPECT_EQ(column(), (Names{"Work", "0 plan.dw2"}));
    EXPECT_EQ(plan->name, "0 plan.dw2");
    ASSERT_EQ(list->SelectedRows(), std::vector<int>{1}); // the renamed row is selected

    file(calendars, "taken.dw2", 1);
    list->Refresh();
    waitWhileLoading();
    bool refused = false;
    try {
        list->RenameItem(rowOf(*plan), "taken.dw2");
        until([&] { return false; });
    } catch (const ESsShellError&) {
        refused = true;
    }
    EXPECT_TRUE(refused);
    EXPECT_EQ(plan->name, "0 plan.dw2");
    // An item that may not be renamed is not sent to its folder at all.
    plan->failRename = true;
    plan->attributes &= ~SFGAO_CANRENAME;
    list->Refresh();
    waitWhileLoading();
    list->RenameItem(rowOf(*plan), "other.dw2");
    settle(50);
    EXPECT_EQ(plan->name, "0 plan.dw2");
}

TEST_F(ListActionsTest, TheTreeAndTheListFollowEachOtherWithoutTellingBack)
{
    makeTree();
    tree->SetListView(list.get());
    EXPECT_EQ(tree->GetListView(), list.get());
    EXPECT_EQ(list->GetController(), tree->GetController()); // one controller for both

    // The first paint hands the first folder to the empty list.
    tree->show();
    tree->grab();
    waitWhileLoading();
    EXPECT_EQ(list->GetFolder()->GetPath(), treeSelection());
    listFolders.clear();

    tree->OpenAtPath("/home/ann/Calendars");
    waitWhileLoading();
    EXPECT_EQ(list->GetPath(), "/home/ann/Calendars");
    EXPECT_EQ(column(), (Names{"Work", "plan.dw2"}));

    // Opened in the list: the tree selects it and does not tell the list back.
    list->OpenItem(rowOf(work));
    waitWhileLoading();
    EXPECT_EQ(treeSelection(), "/home/ann/Calendars/Work");
    EXPECT_EQ(list->GetPath(), "/home/ann/Calendars/Work");
    EXPECT_EQ(listFolders, (Names{"/home/ann/Calendars", "/home/ann/Calendars/Work"}));

    // SelectFolder from anywhere else leaves the list where it is.
    const TStShellItem musicItem(ns->absoluteOf(music).get(), tree->GetController());
    tree->SelectFolder(musicItem, false);
    settle(50);
    EXPECT_EQ(treeSelection(), "/home/ann/Music");
    EXPECT_EQ(list->GetPath(), "/home/ann/Calendars/Work");

    // A list that goes away unlinks itself; the tree goes on alone.
    list.reset();
    EXPECT_EQ(tree->GetListView(), nullptr);
    tree->OpenAtPath("/home/ann/Calendars");
    EXPECT_EQ(treeSelection(), "/home/ann/Calendars");
}

TEST_F(ListActionsTest, AnUnlinkedListIsNotToldAndOutlivesTheTreeWhoseControllerItUsed)
{
    makeTree();
    tree->SetListView(list.get());
    tree->show();
    tree->OpenAtPath("/home/ann/Calendars");
    waitWhileLoading();
    EXPECT_EQ(list->GetPath(), "/home/ann/Calendars");
    tree->SetListView(nullptr);
    tree->OpenAtPath("/home/ann/Music");
    settle(50);
    EXPECT_EQ(list->GetPath(), "/home/ann/Calendars");

    tree->SetListView(list.get());
    tree.reset();
    list->OpenItem(rowOf(work)); // no tree to tell any more
    waitWhileLoading();
    EXPECT_EQ(list->GetPath(), "/home/ann/Calendars/Work");
    EXPECT_EQ(column(), Names{"week.dw2"});
}

TEST_F(ListActionsTest, ChoosingAnotherFolderGivesUpAListingThatHangs)
{
    calendars.gate = std::make_shared<ListingGate>();
    calendars.volumeKey = "//server/calendars";
    calendars.gate->close();
    list->SetPath("/home/ann/Calendars");
    ASSERT_TRUE(calendars.gate->waitForHeld(1, 5000));
    EXPECT_TRUE(list->IsLoading());
    EXPECT_FALSE(list->GetStatusText().isEmpty()); // says it is reading

    // The window answers meanwhile.
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(5);
    until([&] { return ticks >= 5; });
    EXPECT_GE(ticks, 5);

    show(music);
    EXPECT_EQ(list->GetPath(), "/home/ann/Music");
    calendars.gate->open();
    settle(150);
    EXPECT_FALSE(list->IsLoading());
    EXPECT_TRUE(column().empty()); // what the hung listing brought came too late
    EXPECT_EQ(list->GetPath(), "/home/ann/Music");
}
