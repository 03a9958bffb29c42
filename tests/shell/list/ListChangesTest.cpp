// SPDX-License-Identifier: MIT
// The rows follow the namespace's change reports, kind by kind, on the fake
// namespace; a burst that overflows the queue has the folder read again.

#include "ListTestSupport.h"

#include <algorithm>

using namespace list_testing;

namespace {

class ListChangesTest : public FakeListTest {
protected:
    FakeNode* a = nullptr;
    FakeNode* b = nullptr;

    void SetUp() override
    {
        a = &file(calendars, "a.dw2", 10);
        b = &file(calendars, "b.dw2", 20);
        makeList();
        show(calendars);
    }

    // The fake folder forgets the child: it is gone.
    void vanish(FakeNode& child)
    {
        auto& siblings = child.parent->children;
        siblings.erase(std::find(siblings.begin(), siblings.end(), &child));
        child.failAttributes = true;
    }

    void until(const std::function<bool()>& done) { dw::test::processEventsUntil(done, 3000, 30); }
};

using Names = std::vector<std::string>;

} // namespace

TEST_F(ListChangesTest, ItemsMadeRemovedAndRenamedAppearGoAndMove)
{
    FakeNode& c = file(calendars, "c.dw2", 30);
    report(SHCNE_CREATE, c);
    until([&] { return column().size() == 3; });
    EXPECT_EQ(column(), (Names{"a.dw2", "b.dw2", "c.dw2"}));
    EXPECT_EQ(cell("c.dw2", lcSize), "30 bytes");

    vanish(*a);
    report(SHCNE_DELETE, *a);
    until([&] { return column().size() == 2; });
    EXPECT_EQ(column(), (Names{"b.dw2", "c.dw2"}));

    // Renamed in the folder: the row takes the new name, keeps its selection
    // and moves to its new place.
    list->CurrentView()->setCurrentIndex(list->Model().index(list->Model().RowOfPath(c.parsingName), 0));
    FakeNode& renamed = file(calendars, "0 first.dw2", 30);
    vanish(c);
    report(SHCNE_RENAMEITEM, c, &renamed);
    until([&] { return column().front() == "0 first.dw2"; });
    EXPECT_EQ(column(), (Names{"0 first.dw2", "b.dw2"}));
    ASSERT_EQ(list->SelectedRows(), std::vector<int>{0});

    // Renamed out of the folder, and into it.
    FakeNode& elsewhere = file(home, "b.dw2", 20);
    vanish(*b);
    report(SHCNE_RENAMEITEM, *b, &elsewhere);
    until([&] { return column().size() == 1; });
    FakeNode& back = file(calendars, "back.dw2", 5);
    report(SHCNE_RENAMEITEM, elsewhere, &back);
    until([&] { return column().size() == 2; });
    EXPECT_EQ(column(), (Names{"0 first.dw2", "back.dw2"}));
}

TEST_F(ListChangesTest, AFileThatGrowsOrChangesItsAttributesUpdatesItsRowAndPlace)
{
    list->SetSortColumn(lcSize);
    EXPECT_EQ(column(), (Names{"a.dw2", "b.dw2"}));
    a->findData->size = 4000;
    report(SHCNE_UPDATEITEM, *a);
    until([&] { return cell("a.dw2", lcSize) == "4.0 kB"; });
    EXPECT_EQ(column(), (Names{"b.dw2", "a.dw2"}));
    b->findData->attributes |= FILE_ATTRIBUTE_READONLY;
    report(SHCNE_ATTRIBUTES, *b);
    until([&] { return cell("b.dw2", lcAttributes) == "RA"; });
    EXPECT_EQ(cell("b.dw2", lcAttributes), "RA");
}

TEST_F(ListChangesTest, AFolderUpdateOrDroppedReportsReadTheFolderAgain)
{
    // Changes the reports did not tell one by one.
    vanish(*a);
    file(calendars, "new.dw2", 1);
    report(SHCNE_UPDATEDIR, calendars);
    until([&] { return column() == Names{"b.dw2", "new.dw2"}; });
    EXPECT_EQ(column(), (Names{"b.dw2", "new.dw2"}));

    // More reports at once than the queue takes: what was dropped is not
    // known, so the folder is read again once the burst is over.
    std::vector<FakeNode*> made;
    for (int i = 0; i < 200; ++i)
        made.push_back(&file(calendars, "burst" + std::to_string(i) + ".dw2", 1));
    for (FakeNode* node : made)
        report(SHCNE_CREATE, *node);
    until([&] { return column().size() == 202; });
    EXPECT_EQ(column().size(), 202u);

    // A hidden file made meanwhile stays unlisted, as the listing leaves it.
    FakeNode& hidden = file(calendars, ".secret", 1);
    hidden.attributes |= SFGAO_HIDDEN;
    report(SHCNE_CREATE, hidden);
    settle(200);
    EXPECT_EQ(cell(".secret", lcName), "<none>");
}

TEST_F(ListChangesTest, TheShownFolderGoneShowsItsParent)
{
    vanish(calendars);
    report(SHCNE_RMDIR, calendars);
    until([&] { return list->GetPath() == "/home/ann"; });
    EXPECT_EQ(list->GetPath(), "/home/ann");
}
