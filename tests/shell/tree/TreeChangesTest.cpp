// SPDX-License-Identifier: MIT
// Renaming in place, the context menu's rename, and the change notices by
// kind, on the fake namespace.

#include "TreeTestSupport.h"

#include "base/exceptions/SsBase.h"
#include "platform/changes/ChangeNotify.h"

#include <QLineEdit>
#include <QTest>

#include <algorithm>

using namespace tree_testing;

namespace {

class TreeChangesTest : public FakeTreeTest {
protected:
    void SetUp() override
    {
        FakeTreeTest::SetUp();
        work.attributes |= SFGAO_CANRENAME;
        makeTree();
        showAndPaint();
        tree->OpenAtPath("/home/ann/Calendars");
    }

    // F2 on the node: whether editing began.
    bool startEditing(const FakeNode& fake)
    {
        tree->setCurrentIndex(indexOf(fake));
        QTest::keyClick(tree.get(), Qt::Key_F2);
        QLineEdit* editor = openEditor();
        if (editor)
            QTest::keyClick(editor, Qt::Key_Escape);
        return editor != nullptr;
    }

    QLineEdit* openEditor() const
    {
        for (QLineEdit* editor : tree->findChildren<QLineEdit*>())
            if (editor->isVisible())
                return editor;
        return nullptr;
    }

    void report(long event, const FakeNode& item, const FakeNode* second = nullptr)
    {
        const IdListPtr first = ns->absoluteOf(item);
        const IdListPtr other = second ? ns->absoluteOf(*second) : nullptr;
        SHChangeNotify(event, 0, first.get(), other.get());
        dw::test::processEventsUntil([] { return false; }, 0, 50);
    }
};

} // namespace

TEST_F(TreeChangesTest, RenamingInPlaceRenamesAndSelectsTheNodeShowingTheNewName)
{
    tree->setCurrentIndex(indexOf(work));
    QTest::keyClick(tree.get(), Qt::Key_F2);
    QLineEdit* editor = openEditor();
    ASSERT_TRUE(editor);
    editor->setText(QString::fromUtf8("Job \xe2\x82\xac"));
    QTest::keyClick(editor, Qt::Key_Return);
    dw::test::processEventsUntil([&] { return work.name != "Work"; });
    EXPECT_EQ(work.name, "Job \xe2\x82\xac");
    EXPECT_EQ(tree->Model().TextOf(*tree->SelectedNode()), "Job \xe2\x82\xac");
}

TEST_F(TreeChangesTest, ARefusedRenameKeepsTheOldNameAndSaysWhy)
{
    work.failRename = true;
    tree->setCurrentIndex(indexOf(work));
    TStTreeNode* workNode = node(work);
    EXPECT_THROW(tree->RenameNode(*workNode, "Job"), ESsShellError);
    EXPECT_EQ(childTexts(calendars), std::vector<std::string>{"Work"});
}

TEST_F(TreeChangesTest, RenamingNeedsTheOptionAndAnItemThatAllowsIt)
{
    work.attributes &= ~SFGAO_CANRENAME;
    tree->RefreshNode(node(calendars));
    EXPECT_FALSE(startEditing(work));
    work.attributes |= SFGAO_CANRENAME;
    tree->RefreshNode(node(calendars));
    tree->SetReadOnly(true);
    EXPECT_FALSE(startEditing(work));
    tree->SetReadOnly(false);
    EXPECT_TRUE(startEditing(work));
    TStTreeOptions options = tree->GetOptions();
    options.Exclude(toAllowRename);
    tree->SetOptions(options);
    EXPECT_FALSE(startEditing(work));
}

TEST_F(TreeChangesTest, TheContextMenusRenameCommandStartsEditing)
{
    tree->setCurrentIndex(indexOf(work));
    tree->GetController()->SetMenuChooser([](const std::vector<ContextMenuEntry>&) { return 19; });
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5), tree->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(tree->viewport(), &event);
    EXPECT_TRUE(openEditor());
}

TEST_F(TreeChangesTest, NoticesAddRemoveAndRenameNodes)
{
    FakeNode& added = ns->addFolder(calendars, "Archive", "/home/ann/Calendars/Archive");
    report(SHCNE_MKDIR, added);
    EXPECT_EQ(childTexts(calendars), (std::vector<std::string>{"Archive", "Work"}));

    tree->setCurrentIndex(indexOf(added));
    report(SHCNE_RMDIR, added);
    EXPECT_EQ(childTexts(calendars), std::vector<std::string>{"Work"});
    EXPECT_EQ(selectedPath(), "/home/ann/Calendars/Work"); // the next node took the selection

    FakeNode& renamed = ns->addFolder(calendars, "Zoo", "/home/ann/Calendars/Zoo");
    report(SHCNE_RENAMEFOLDER, work, &renamed);
    EXPECT_EQ(childTexts(calendars), std::vector<std::string>{"Zoo"});
    EXPECT_EQ(tree->FolderOf(node(renamed))->GetPath(), "/home/ann/Calendars/Zoo");

    // A folder whose children were never read gets an expand button.
    EXPECT_FALSE(tree->Model().hasChildren(indexOf(music)));
    report(SHCNE_MKDIR, ns->addFolder(music, "Live", "/home/ann/Music/Live"));
    EXPECT_TRUE(tree->Model().hasChildren(indexOf(music)));

    // Files only with toShowFiles.
    FakeNode& file = ns->addFile(calendars, "a.dw2", "/home/ann/Calendars/a.dw2");
    report(SHCNE_CREATE, file);
    EXPECT_EQ(childTexts(calendars), std::vector<std::string>{"Zoo"});
}

// A burst folded into one update, or reports dropped over the queue's
// limit: the expanded folder is read again and shows what is there.
TEST_F(TreeChangesTest, AFolderUpdateReadsAnExpandedFolderAgain)
{
    ns->addFolder(calendars, "New 1", "/home/ann/Calendars/New 1");
    ns->addFolder(calendars, "New 2", "/home/ann/Calendars/New 2");
    tree->expand(indexOf(calendars));
    report(SHCNE_UPDATEDIR, calendars);
    waitWhileLoading();
    EXPECT_EQ(childTexts(calendars), (std::vector<std::string>{"New 1", "New 2", "Work"}));
}

// A change reported while the folder is being listed may come after the
// listing read past it: the folder is read again once the listing is over.
TEST_F(TreeChangesTest, AChangeDuringAListingIsReadOnceItEnds)
{
    music.gate = std::make_shared<ListingGate>();
    music.volumeKey = "//server/music";
    music.gate->close();
    tree->expand(indexOf(music));
    ASSERT_TRUE(music.gate->waitForHeld(1, 5000));
    FakeNode& live = ns->addFolder(music, "Live", "/home/ann/Music/Live");
    report(SHCNE_MKDIR, live);
    music.gate->open();
    waitWhileLoading();
    dw::test::processEventsUntil([&] { return !childTexts(music).empty() && !tree->IsLoading(); });
    EXPECT_EQ(childTexts(music), std::vector<std::string>{"Live"});
}

TEST_F(TreeChangesTest, ReportsDroppedOverTheLimitDoNotLeaveTheTreeStale)
{
    tree->expand(indexOf(calendars));
    std::vector<FakeNode*> made;
    for (int i = 0; i < 20; ++i)
        made.push_back(&ns->addFolder(calendars, "Made " + std::to_string(i), "/home/ann/Calendars/m" + std::to_string(i)));
    // All at once, before the tree's queue is drained: most are dropped.
    for (FakeNode* folder : made)
        SHChangeNotify(SHCNE_MKDIR, 0, ns->absoluteOf(*folder).get(), nullptr);
    dw::test::processEventsUntil([&] { return childTexts(calendars).size() == 21; });
    EXPECT_EQ(childTexts(calendars).size(), 21u);
}

// While a big folder is being listed, folders deleted or renamed before
// their nodes are shown must not show up later under their old names.
TEST_F(TreeChangesTest, NoticesForChildrenNotShownYetAreNotLost)
{
    fillWithFolders(music, 20000);
    FakeNode& early = *music.children[400]; // read before the server stops: waits to be shown, or is
    FakeNode& late = *music.children[15000]; // read only after the server answers again
    FakeNode& renamedLate = *music.children[15001];
    music.gate->openFor(1000);
    tree->expand(indexOf(music));
    ASSERT_TRUE(music.gate->waitForHeld(1, 5000));
    dw::test::processEventsUntil([&] { return !childTexts(music).empty(); });
    ASSERT_TRUE(tree->IsLoading());
    ASSERT_FALSE(node(late));

    ns->remove(late);
    report(SHCNE_RMDIR, late);
    ns->remove(renamedLate);
    FakeNode& newName = ns->addFolder(music, "renamed", "/home/ann/Music/renamed");
    report(SHCNE_RENAMEFOLDER, renamedLate, &newName);
    // The rest comes, and goes on in steps; a node not shown yet goes.
    music.gate->open();
    dw::test::processEventsUntil([&] { return childTexts(music).size() > 1000 && !node(early); }, 5000, 0);
    ns->remove(early);
    report(SHCNE_RMDIR, early);
    dw::test::processEventsUntil([&] { return !tree->IsLoading(); }, 20000);

    const std::vector<std::string> texts = childTexts(music);
    EXPECT_EQ(texts.size(), 1 + 20000u - 3 + 1); // "aaa", the others, less the three, and the new name
    for (const FakeNode* gone : {&early, &late, &renamedLate})
        EXPECT_EQ(std::count(texts.begin(), texts.end(), gone->name), 0) << gone->name;
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "renamed"), 1);
}

// A re-read (F5, or a burst of changes that overflowed the queue) keeps
// what was expanded expanded and the selection where it was; the window is
// not told of a selection that did not change.
TEST_F(TreeChangesTest, AReReadKeepsExpandedFoldersAndTheSelection)
{
    FakeNode& year = ns->addFolder(work, "2026", "/home/ann/Calendars/Work/2026");
    ns->addFolder(year, "Q1", "/home/ann/Calendars/Work/2026/Q1");
    tree->OpenAtPath("/home/ann/Calendars/Work/2026");
    const auto stillAsItWas = [&](const std::string& selectedFolder) {
        EXPECT_TRUE(tree->isExpanded(indexOf(calendars)));
        EXPECT_TRUE(tree->isExpanded(indexOf(work)));
        EXPECT_TRUE(tree->isExpanded(indexOf(year)));
        EXPECT_EQ(selectedPath(), selectedFolder);
        ASSERT_TRUE(tree->GetCurrentFolder());
        EXPECT_EQ(tree->GetCurrentFolder()->GetPath(), selectedFolder);
    };

    selected.clear();
    report(SHCNE_UPDATEDIR, calendars); // the selected node lies below
    waitWhileLoading();
    stillAsItWas("/home/ann/Calendars/Work/2026");
    EXPECT_TRUE(selected.empty());

    tree->setCurrentIndex(indexOf(calendars));
    selected.clear();
    QTest::keyClick(tree.get(), Qt::Key_F5); // the selected node itself
    waitWhileLoading();
    stillAsItWas("/home/ann/Calendars");
    EXPECT_TRUE(selected.empty());

    // Slow: the selection comes back once the folder has been read.
    tree->setCurrentIndex(indexOf(year));
    selected.clear();
    calendars.gate = std::make_shared<ListingGate>();
    calendars.volumeKey = "//server/calendars";
    calendars.gate->close();
    report(SHCNE_UPDATEDIR, calendars);
    ASSERT_TRUE(calendars.gate->waitForHeld(1, 5000));
    calendars.gate->open();
    waitWhileLoading();
    stillAsItWas("/home/ann/Calendars/Work/2026");
    EXPECT_TRUE(selected.empty());

    // Slow, and its parent read again before it is done: the selection still
    // comes back where it was.
    work.gate = std::make_shared<ListingGate>();
    work.volumeKey = "//server/work";
    work.gate->close();
    report(SHCNE_UPDATEDIR, work);
    ASSERT_TRUE(work.gate->waitForHeld(1, 5000));
    report(SHCNE_UPDATEDIR, calendars);
    work.gate->open();
    waitWhileLoading();
    stillAsItWas("/home/ann/Calendars/Work/2026");
    EXPECT_TRUE(selected.empty());

    // The selected folder went meanwhile: its nearest parent is selected, and
    // the window hears of it.
    ns->remove(year);
    report(SHCNE_UPDATEDIR, work);
    waitWhileLoading();
    EXPECT_EQ(selectedPath(), "/home/ann/Calendars/Work");
    EXPECT_EQ(selected, std::vector<std::string>{"/home/ann/Calendars/Work"});
}

// A folder opened and found to hold no subfolders gets no expand button
// when only its files change (a conversion writes and renames many); it gets
// one when a subfolder is made there in a burst.
TEST_F(TreeChangesTest, ChangesOfFilesGiveAFolderWithoutSubfoldersNoExpandButton)
{
    tree->OpenAtPath("/home/ann/Music");
    ASSERT_FALSE(tree->Model().hasChildren(indexOf(music)));
    ns->addFile(music, "a.dw2", "/home/ann/Music/a.dw2");
    report(SHCNE_UPDATEDIR, music);
    waitWhileLoading();
    EXPECT_FALSE(tree->Model().hasChildren(indexOf(music)));
    EXPECT_EQ(selectedPath(), "/home/ann/Music");

    // Renamed, it still holds what it held.
    FakeNode& renamed = ns->addFolder(home, "Songs", "/home/ann/Songs");
    report(SHCNE_RENAMEFOLDER, music, &renamed);
    waitWhileLoading();
    ASSERT_TRUE(node(renamed));
    EXPECT_FALSE(tree->Model().hasChildren(indexOf(renamed)));

    ns->addFolder(renamed, "Live", "/home/ann/Songs/Live");
    report(SHCNE_UPDATEDIR, renamed);
    waitWhileLoading();
    EXPECT_TRUE(tree->Model().hasChildren(indexOf(renamed)));
}
