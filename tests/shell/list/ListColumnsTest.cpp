// SPDX-License-Identifier: MIT
// What the columns show, how every column sorts in both directions, and the
// filter, on the fake namespace.

#include "ListTestSupport.h"

#include "base/exceptions/SsBase.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QListView>
#include <QTest>

using namespace list_testing;

namespace {

class ListColumnsTest : public FakeListTest {
protected:
    void SetUp() override
    {
        ns->addFolder(calendars, "Work", "/home/ann/Calendars/Work");
        ns->addFolder(calendars, "archive", "/home/ann/Calendars/archive");
        file(calendars, "Cal10.dw2", 2000, 1700000300);
        file(calendars, "Cal9.dw2", 1500, 1700000200);
        file(calendars, "b.txt", 500000, 1700000100);
        file(calendars, "same.txt", 1500, 1700000200);
        FakeNode& hidden = file(calendars, ".hidden", 0);
        hidden.attributes |= SFGAO_HIDDEN;
        hidden.findData->attributes |= FILE_ATTRIBUTE_HIDDEN;
        FakeNode& link = file(calendars, "link", 7);
        link.attributes |= SFGAO_LINK;
        FakeNode& locked = file(calendars, "locked.pdf", 9);
        locked.findData->attributes |= FILE_ATTRIBUTE_READONLY;
        ns->addShare(calendars, "public", "server");
        makeList();
        show(calendars);
    }

    void sortBy(TStListColumn column, Qt::SortOrder order)
    {
        list->SetSortColumn(column);
        list->SetSortDirection(order);
    }
};

} // namespace

TEST_F(ListColumnsTest, ColumnsShowSizeTypeTimeAndAttributeLetters)
{
    EXPECT_EQ(cell("b.txt", lcSize), "500.0 kB");
    EXPECT_EQ(cell("Work", lcSize), ""); // folders have no size
    const QModelIndex size = list->Model().index(list->Model().RowOfPath("/home/ann/Calendars/b.txt"), lcSize);
    EXPECT_TRUE(size.data(Qt::ToolTipRole).toString().remove(QRegularExpression("[^0-9]")) == "500000");
    EXPECT_EQ(cell("Work", lcType), "Folder");
    EXPECT_EQ(cell("public", lcType), "System Folder");
    EXPECT_NE(cell("b.txt", lcType), "File"); // the MIME database knows .txt by its name
    EXPECT_EQ(cell("link", lcType), "File");
    EXPECT_FALSE(cell("b.txt", lcModified).empty());
    EXPECT_EQ(cell("link", lcAttributes), "AL");
    EXPECT_EQ(cell("locked.pdf", lcAttributes), "RA");
    EXPECT_EQ(cell("public", lcAttributes), "N");
    EXPECT_EQ(cell(".hidden", lcName), "<none>"); // not listed without loShowHidden
    TStListOptions options = list->GetOptions();
    options.Include(loShowHidden);
    list->SetOptions(options);
    waitWhileLoading();
    EXPECT_EQ(cell(".hidden", lcAttributes), "HA");
}

TEST_F(ListColumnsTest, EveryColumnSortsBothWaysWithFoldersFirstAndTiesByName)
{
    using Names = std::vector<std::string>;
    EXPECT_EQ(column(), (Names{"archive", "public", "Work", "b.txt", "Cal9.dw2", "Cal10.dw2", "link", "locked.pdf",
                               "same.txt"}));
    sortBy(lcName, Qt::DescendingOrder);
    EXPECT_EQ(column(), (Names{"Work", "public", "archive", "same.txt", "locked.pdf", "link", "Cal10.dw2", "Cal9.dw2",
                               "b.txt"}));
    sortBy(lcSize, Qt::AscendingOrder);
    EXPECT_EQ(column(), (Names{"archive", "public", "Work", "link", "locked.pdf", "Cal9.dw2", "same.txt", "Cal10.dw2",
                               "b.txt"}));
    sortBy(lcSize, Qt::DescendingOrder);
    EXPECT_EQ(column(), (Names{"archive", "public", "Work", "b.txt", "Cal10.dw2", "Cal9.dw2", "same.txt", "locked.pdf",
                               "link"}));
    sortBy(lcModified, Qt::DescendingOrder);
    EXPECT_EQ(column().at(3), "Cal10.dw2");
    EXPECT_EQ(column().at(4), "Cal9.dw2"); // same time as same.txt: by name
    EXPECT_EQ(column().at(5), "same.txt");
    sortBy(lcAttributes, Qt::AscendingOrder);
    EXPECT_EQ(column(lcAttributes).back(), "RA");
    sortBy(lcType, Qt::AscendingOrder);
    const std::vector<std::string> types = column(lcType);
    EXPECT_EQ(types.front(), "Folder");
    EXPECT_TRUE(std::is_sorted(types.begin() + 3, types.end(), [](const std::string& a, const std::string& b) {
        return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) < 0;
    }));
    EXPECT_THROW(list->SetSortDirection(static_cast<Qt::SortOrder>(2)), ESsShellError);
}

TEST_F(ListColumnsTest, AHeaderClickSortsWithItsIndicatorAndTheSelectionStays)
{
    auto* details = qobject_cast<QTreeView*>(list->CurrentView());
    ASSERT_TRUE(details);
    const int row = list->Model().RowOfPath("/home/ann/Calendars/Cal9.dw2");
    details->setCurrentIndex(list->Model().index(row, 0));
    QHeaderView* header = details->header();
    const QPoint sizeSection(header->sectionViewportPosition(lcSize) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, sizeSection);
    EXPECT_EQ(list->GetSortColumn(), lcSize);
    EXPECT_EQ(header->sortIndicatorSection(), lcSize);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, sizeSection);
    EXPECT_EQ(list->GetSortDirection(), Qt::DescendingOrder);
    EXPECT_EQ(column().at(3), "b.txt");
    ASSERT_EQ(list->SelectedRows().size(), 1u);
    EXPECT_EQ(list->Model().RecordAt(list->SelectedRows().front()).displayName, "Cal9.dw2");
}

TEST_F(ListColumnsTest, TheFilterTakesMasksOrAnExpressionAndNeverHidesFolders)
{
    using Names = std::vector<std::string>;
    list->SetFilter(QStringLiteral("*.DW2"));
    EXPECT_EQ(column(), (Names{"archive", "public", "Work", "Cal9.dw2", "Cal10.dw2"}));
    list->SetFilter(QStringLiteral(" *.txt ; l*"));
    EXPECT_EQ(column(), (Names{"archive", "public", "Work", "b.txt", "link", "locked.pdf", "same.txt"}));
    list->SetFilter(QStringLiteral("re:^Cal\\d\\."));
    EXPECT_EQ(column(), (Names{"archive", "public", "Work", "Cal9.dw2"}));
    try {
        list->SetFilter(QStringLiteral("re:Cal(9"));
        ADD_FAILURE() << "an expression that does not compile was taken";
    } catch (const ESsRegExError& error) {
        EXPECT_EQ(error.ErrorCode(), ssscRegExNotCompiled);
        EXPECT_NE(std::string(error.what()).find("missing closing parenthesis"), std::string::npos) << error.what();
    }
    EXPECT_EQ(list->GetFilter(), QStringLiteral("re:^Cal\\d\\.")); // left as it was
    EXPECT_EQ(column().size(), 4u);
    list->SetFilter({});
    EXPECT_EQ(column().size(), 9u);

    std::vector<std::string> asked;
    list->OnFilterItem = [&](QObject*, TStShellItem* item, bool& accept) {
        asked.push_back(item->GetDisplayName());
        accept = item->GetDisplayName() != "b.txt";
    };
    EXPECT_EQ(column().size(), 9u); // not Filtered: not asked
    EXPECT_TRUE(asked.empty());
    list->SetFiltered(true);
    EXPECT_EQ(cell("b.txt", lcName), "<none>");
    EXPECT_EQ(asked.size(), 9u);
}

TEST_F(ListColumnsTest, UnderLargeIconsALongerNameThanTheFirstHasRoomForItsText)
{
    list->SetViewStyle(vsLargeIcons);
    auto* icons = qobject_cast<QListView*>(list->CurrentView());
    ASSERT_NE(icons, nullptr);
    const int row = list->Model().RowOfPath("/home/ann/Calendars/locked.pdf");
    ASSERT_GE(row, 0);
    // Every item takes the size of the first ("Work"); that size must not be
    // what the first's short name needs.
    const int textWidth = QFontMetrics(icons->font()).horizontalAdvance(QStringLiteral("locked.pdf"));
    EXPECT_GE(icons->visualRect(list->Model().index(row, lcName)).width(), textWidth);
}
