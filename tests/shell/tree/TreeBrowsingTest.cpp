// SPDX-License-Identifier: MIT
// Populating, lazy expansion, the first paint, opening paths and the
// setters' rules, on the fake namespace.

#include "TreeTestSupport.h"

#include "base/exceptions/SsBase.h"
#include "platform/listing/ListingProducer.h"
#include "platform/version/ShellVersion.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <numeric>
#include <random>
#include <set>
#include <thread>

using namespace tree_testing;

TEST_F(FakeTreeTest, ChildrenAreReadWhenANodeIsFirstExpandedAndAnEmptyFolderLosesItsButton)
{
    ns->addFolder(music, "Empty", "/home/ann/Music/Empty");
    makeTree();
    showAndPaint();
    ASSERT_TRUE(node(ns->desktop()));
    EXPECT_TRUE(tree->isExpanded(indexOf(ns->desktop()))); // toExpandTopNode
    EXPECT_EQ(childTexts(ns->desktop()), std::vector<std::string>{"Home"});
    EXPECT_TRUE(tree->Model().hasChildren(indexOf(home)));
    EXPECT_TRUE(childTexts(home).empty()); // not read before it is expanded

    tree->expand(indexOf(home));
    EXPECT_EQ(childTexts(home), (std::vector<std::string>{"Calendars", "Music"})); // quick: in place at once
    tree->expand(indexOf(music));
    const QModelIndex empty = indexOf(*music.children.front());
    tree->expand(empty);
    EXPECT_FALSE(tree->Model().hasChildren(empty));
    EXPECT_FALSE(tree->isExpanded(empty));
}

TEST_F(FakeTreeTest, TheFirstPaintSelectsTheStartFolderAndRaisesTheEventOnce)
{
    makeTree();
    tree->SetStartInFolder("/home/ann/Calendars/Work");
    tree->EnsurePopulated();
    tree->setCurrentIndex(indexOf(ns->desktop())); // before the first paint: no event
    EXPECT_TRUE(selected.empty());
    showAndPaint();
    EXPECT_EQ(selected, std::vector<std::string>{"/home/ann/Calendars/Work"});
    EXPECT_EQ(selectedPath(), "/home/ann/Calendars/Work");
    tree->setCurrentIndex(indexOf(music)); // afterwards every selection raises it
    EXPECT_EQ(selected.back(), "/home/ann/Music");
}

TEST_F(FakeTreeTest, OpenAtPathExpandsEachLevelOrRefusesAndLeavesTheSelection)
{
    ns->addFolder(work, "2026", "/home/ann/Calendars/Work/2026");
    makeTree();
    showAndPaint();
    tree->OpenAtPath("/home/ann/Calendars/Work/2026");
    EXPECT_EQ(selectedPath(), "/home/ann/Calendars/Work/2026");
    EXPECT_EQ(selected.back(), "/home/ann/Calendars/Work/2026");
    EXPECT_TRUE(tree->isExpanded(indexOf(work)));
    EXPECT_EQ(tree->GetStartInFolder(), "/home/ann/Calendars/Work/2026");

    EXPECT_THROW(tree->OpenAtPath("/home/ann/Nowhere"), ESsInvalidFolder);
    EXPECT_EQ(selectedPath(), "/home/ann/Calendars/Work/2026");

    // A folder that cannot be read is still opened; one below it cannot be.
    ns->addFolder(music, "Hidden", "/home/ann/Music/Hidden");
    music.failEnumeration = true;
    tree->OpenAtPath("/home/ann/Music");
    EXPECT_EQ(selectedPath(), "/home/ann/Music");
    EXPECT_FALSE(tree->Model().hasChildren(indexOf(music)));
    EXPECT_THROW(tree->OpenAtPath("/home/ann/Music/Hidden"), ESsInvalidFolder);
    EXPECT_EQ(selectedPath(), "/home/ann/Music");

    // Outside the root: the path parses, but no node leads there.
    makeTree();
    tree->SetRootFolder("/home/ann/Calendars");
    showAndPaint();
    EXPECT_THROW(tree->OpenAtPath("/home/ann/Music"), ESsInvalidFolder);
    tree->OpenAtPath("/home/ann/Calendars/Work");
    EXPECT_EQ(selectedPath(), "/home/ann/Calendars/Work");
}

// A level that does not answer: the window keeps answering, the node shows
// it is loading, and the open goes on once the level answers.
TEST_F(FakeTreeTest, ASlowLevelIsOpenedInTheBackground)
{
    calendars.gate = std::make_shared<ListingGate>();
    calendars.volumeKey = "//server/calendars";
    makeTree();
    showAndPaint();
    calendars.gate->close();
    tree->OpenAtPath("/home/ann/Calendars/Work");
    ASSERT_TRUE(calendars.gate->waitForHeld(1, 5000));
    EXPECT_TRUE(tree->IsLoading());
    EXPECT_TRUE(tree->Model().data(indexOf(calendars), TStShellTreeModel::LoadingRole).toBool());
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(5);
    dw::test::processEventsUntil([&] { return ticks >= 5; });
    EXPECT_GE(ticks, 5);
    calendars.gate->open();
    waitWhileLoading();
    EXPECT_EQ(selectedPath(), "/home/ann/Calendars/Work");
}

TEST_F(FakeTreeTest, CollapsingOrEscStopsAHeldListing)
{
    calendars.gate = std::make_shared<ListingGate>();
    calendars.volumeKey = "//server/calendars";
    makeTree();
    showAndPaint();
    tree->expand(indexOf(home));
    calendars.gate->close();
    tree->expand(indexOf(calendars));
    ASSERT_TRUE(calendars.gate->waitForHeld(1, 5000));
    tree->collapse(indexOf(calendars));
    EXPECT_FALSE(tree->IsLoading());
    calendars.gate->open();
    dw::test::processEventsUntil([] { return false; }, 0, 100);
    EXPECT_TRUE(childTexts(calendars).empty()); // what it brought came too late
    EXPECT_TRUE(tree->Model().hasChildren(indexOf(calendars)));
    tree->expand(indexOf(calendars)); // read afresh
    EXPECT_EQ(childTexts(calendars), std::vector<std::string>{"Work"});
}

TEST_F(FakeTreeTest, SettersKeepToTheirRules)
{
    makeTree();
    tree->SetRootFolder("C:");
    EXPECT_EQ(tree->GetRootFolder(), "C:\\");
    EXPECT_EQ(tree->GetSpecialRootFolder(), sfNone);
    tree->SetStartInFolder("D:");
    EXPECT_EQ(tree->GetStartInFolder(), "D:\\");
    tree->SetSpecialStartInFolder(sfPersonal);
    EXPECT_EQ(tree->GetStartInFolder(), "");
    tree->SetSpecialRootFolder(sfPersonal);
    EXPECT_EQ(tree->GetRootFolder(), "");
    EXPECT_EQ(TStTreeOptions({toAllowRename, toShowHidden}).Bits(), 0x0101);

    // A shell whose version cannot be read counts as older than 4.7.
    dw::platform::SetSystemShellModulePath("/nonexistent/shell32.dll");
    TStShellTreeView oldShell;
    dw::platform::SetSystemShellModulePath({});
    EXPECT_THROW(oldShell.SetSpecialRootFolder(sfHistory), ESsShellError);
    EXPECT_EQ(oldShell.GetSpecialRootFolder(), sfDesktop);
    EXPECT_THROW(oldShell.SetSpecialStartInFolder(sfInternet), ESsShellError);
    oldShell.SetSpecialStartInFolder(sfPersonal);
}

TEST_F(FakeTreeTest, TheFilterDecidesWhenFiltered)
{
    makeTree();
    std::vector<std::string> asked;
    tree->OnFilterItem = [&](QObject*, TStShellItem* item, bool& accept) {
        asked.push_back(item->GetDisplayName());
        accept = item->GetDisplayName() != "Music";
    };
    showAndPaint();
    tree->expand(indexOf(home));
    EXPECT_TRUE(asked.empty()); // not Filtered: not consulted
    tree->SetFiltered(true);
    tree->OpenAtPath("/home/ann/Calendars");
    EXPECT_EQ(childTexts(home), std::vector<std::string>{"Calendars"});
}

// A folder larger than one step arrives in several; whatever has arrived is
// in order at every step, and no node is lost or shown twice.
TEST_F(FakeTreeTest, ABigFolderArrivesInStepsAndIsInOrderAtEveryStep)
{
    constexpr int kChildren = 20000;
    std::vector<int> numbers(kChildren);
    std::iota(numbers.begin(), numbers.end(), 0);
    std::shuffle(numbers.begin(), numbers.end(), std::mt19937(7));
    for (int number : numbers) {
        const std::string name = QStringLiteral("item%1").arg(number, 5, 10, QLatin1Char('0')).toStdString();
        ns->addFolder(work, name, "/home/ann/Calendars/Work/" + name);
    }
    work.gate = std::make_shared<ListingGate>();
    work.volumeKey = "//server/work";
    makeTree();
    showAndPaint();
    tree->OpenAtPath("/home/ann/Calendars");
    work.gate->close();
    tree->expand(indexOf(work));
    ASSERT_TRUE(work.gate->waitForHeld(1, 5000));

    // What a paint could see: the children between two turns of the loop.
    std::set<std::size_t> countsSeen;
    bool alwaysInOrder = true;
    QTimer turns;
    QObject::connect(&turns, &QTimer::timeout, [&] {
        const std::vector<std::string> texts = childTexts(work);
        countsSeen.insert(texts.size());
        alwaysInOrder = alwaysInOrder && std::is_sorted(texts.begin(), texts.end());
    });
    turns.start(0);
    work.gate->open();
    waitWhileLoading();

    std::vector<std::string> expected;
    for (int number = 0; number < kChildren; ++number)
        expected.push_back(QStringLiteral("item%1").arg(number, 5, 10, QLatin1Char('0')).toStdString());
    EXPECT_EQ(childTexts(work), expected);
    EXPECT_TRUE(std::any_of(countsSeen.begin(), countsSeen.end(),
                            [](std::size_t count) { return count > 0 && count < std::size_t(kChildren); }));
    EXPECT_TRUE(alwaysInOrder);
}

// A folder still loading is closed (collapsed, or Esc) while a child of it
// loads too: the child's listing stops with it, and nothing it brings later
// lands in a freed node. A drag hovering over the child forgets it too.
TEST_F(FakeTreeTest, ClosingALoadingFolderStopsTheListingsOfItsWholeSubtree)
{
    FakeNode& first = fillWithFolders(work, 20000);
    makeTree();
    showAndPaint();
    tree->OpenAtPath("/home/ann/Calendars");
    for (const bool byEsc : {false, true}) {
        work.gate->openFor(300); // then the folder's server stops answering
        tree->expand(indexOf(work));
        ASSERT_TRUE(work.gate->waitForHeld(1, 5000));
        dw::test::processEventsUntil([&] { return node(first) != nullptr; });
        ASSERT_TRUE(node(first));
        ASSERT_TRUE(tree->IsLoading());
        first.gate->close();
        tree->expand(indexOf(first));
        ASSERT_TRUE(first.gate->waitForHeld(1, 5000));

        QMimeData dragged;
        dragged.setData(QStringLiteral("text/uri-list"), "file:///home/ann/Music\r\n");
        const QPoint over = tree->visualRect(indexOf(first)).center();
        QDragEnterEvent enter(over, Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(tree->viewport(), &enter);

        if (byEsc)
            QTest::keyClick(tree.get(), Qt::Key_Escape);
        else
            tree->collapse(indexOf(work));
        EXPECT_FALSE(tree->IsLoading());
        QDragLeaveEvent leave;
        QApplication::sendEvent(tree->viewport(), &leave);
        first.gate->open(); // what the child's listing brings now comes too late
        work.gate->open();
        dw::test::processEventsUntil([] { return false; }, 0, 300);
        EXPECT_TRUE(childTexts(work).empty());
        EXPECT_TRUE(tree->Model().hasChildren(indexOf(work)));
        EXPECT_FALSE(tree->isExpanded(indexOf(work)));
    }
}

// A listing that ends within the wait is complete when the call returns,
// however many batches it came in.
TEST_F(FakeTreeTest, AQuickListingOfManyChildrenIsCompleteWhenExpandingReturns)
{
    for (int i = 0; i < 1000; ++i)
        ns->addFolder(work, "f" + std::to_string(i), "/home/ann/Calendars/Work/f" + std::to_string(i));
    work.gate = std::make_shared<ListingGate>();
    work.volumeKey = "//server/work";
    makeTree();
    showAndPaint();
    tree->OpenAtPath("/home/ann/Calendars");
    // The listing pauses a moment after its first batch, then ends well
    // within the wait.
    work.gate->openFor(300);
    std::thread answer([&] {
        work.gate->waitForHeld(1, 5000);
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        work.gate->open();
    });
    tree->expand(indexOf(work));
    answer.join();
    EXPECT_FALSE(tree->IsLoading());
    EXPECT_EQ(childTexts(work).size(), 1000u);
}

// The window opens its folder as it shows, before the first paint: whether
// a level on the way is quick but big or slow, the first folder it hears of
// is the one opened, never the desktop.
TEST_F(FakeTreeTest, AnOpenAtShowHandsOnlyTheOpenedFolderToTheWindow)
{
    fillWithFolders(work, 1000);
    const std::string target = "/home/ann/Calendars/Work/f999";
    makeTree();
    tree->OpenAtPath(target);
    showAndPaint();
    EXPECT_EQ(selected, std::vector<std::string>{target});

    work.gate->close();
    makeTree();
    selected.clear();
    tree->OpenAtPath(target);
    ASSERT_TRUE(work.gate->waitForHeld(1, 5000));
    showAndPaint();
    EXPECT_TRUE(selected.empty());
    work.gate->open();
    waitWhileLoading();
    EXPECT_EQ(selected, std::vector<std::string>{target});
}

// Keyboard moves keep the current node in view.
TEST_F(FakeTreeTest, TheCurrentNodeStaysInViewOnKeyboardMoves)
{
    for (int i = 0; i < 200; ++i)
        ns->addFolder(work, "f" + std::to_string(i), "/home/ann/Calendars/Work/f" + std::to_string(i));
    makeTree();
    tree->resize(200, 160);
    showAndPaint();
    tree->OpenAtPath("/home/ann/Calendars/Work");
    const auto currentInView = [&] {
        dw::test::processEventsUntil([] { return false; }, 0, 0);
        return tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex()));
    };
    for (const Qt::Key key : {Qt::Key_End, Qt::Key_Home, Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_PageUp}) {
        QTest::keyClick(tree.get(), key);
        EXPECT_TRUE(currentInView()) << "after key " << key << " at " << selectedPath();
    }
    for (int i = 0; i < 30; ++i)
        QTest::keyClick(tree.get(), Qt::Key_Down);
    EXPECT_TRUE(currentInView()) << selectedPath();
    EXPECT_EQ(selected.back(), selectedPath()); // the window follows
}

// The path is parsed on its volume's line; when that line is busy the open
// goes on from the event loop, and may end there at once (a folder whose
// node is already there): nothing of the finished open may be used then.
TEST_F(FakeTreeTest, AnOpenThatEndsFromTheEventLoopEndsCleanly)
{
    makeTree();
    showAndPaint();
    tree->OpenAtPath("/home/ann/Calendars/Work");
    ListingProducer::instance().run(ns->volumeKeyOfParsingName("/home/ann/Calendars"), [](const std::atomic<bool>&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
    });
    tree->OpenAtPath("/home/ann/Calendars");
    EXPECT_TRUE(tree->IsLoading());
    waitWhileLoading();
    EXPECT_EQ(selectedPath(), "/home/ann/Calendars");
    EXPECT_EQ(selected.back(), "/home/ann/Calendars");
}

// In a narrow tree, the deepest nodes shown keep room for some of their
// name: levels are indented less while they are shown, and fully again once
// they are closed.
TEST_F(FakeTreeTest, DeepNodesInANarrowTreeKeepRoomForTheirNames)
{
    FakeNode* deepest = &work;
    std::string path = work.parsingName;
    for (int level = 0; level < 9; ++level) {
        path += "/Archived schedules " + std::to_string(level);
        deepest = &ns->addFolder(*deepest, "Archived schedules " + std::to_string(level), path);
    }
    makeTree();
    tree->setIndentation(19); // as the window has it
    tree->resize(220, 300);
    showAndPaint();
    tree->OpenAtPath(path);
    dw::test::processEventsUntil([] { return false; }, 0, 50);

    const int leastName = tree->fontMetrics().averageCharWidth() * 6;
    const QRect shown = tree->visualRect(indexOf(*deepest));
    EXPECT_GE(std::min(shown.right(), tree->viewport()->width()) - shown.left(), leastName)
        << "room left " << shown.left() << ".." << shown.right() << " of " << tree->viewport()->width();
    EXPECT_LT(tree->indentation(), 19);

    tree->collapse(indexOf(home));
    dw::test::processEventsUntil([] { return false; }, 0, 50);
    EXPECT_EQ(tree->indentation(), 19);
}
