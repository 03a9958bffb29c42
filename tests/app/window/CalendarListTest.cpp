// SPDX-License-Identifier: MIT
// The calendar list: what a folder contributes to it, in which order, and
// what selecting other things in the tree does to it.

#include "tests/app/window/WindowTestSupport.h"

#include "app/window/CalendarMarks.h"
#include "platform/fakenamespace/FakeNamespace.h"
#include "shell/items/StShellFolder.h"
#include "shell/tree/StShellTreeModel.h"
#include "shell/tree/StShellTreeView.h"
#include "tests/support/qt/EventLoopWaiting.h"

#include <QCoreApplication>
#include <QImage>

#include <dirent.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <numeric>
#include <set>

namespace fs = std::filesystem;
using dw::test::writeFile;
using namespace dw::platform;

namespace window_testing {

namespace {

// The names of `folder` in the order the file system gives them.
std::vector<std::string> directoryOrder(const fs::path& folder)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    while (const dirent* entry = ::readdir(dir))
        names.emplace_back(entry->d_name);
    ::closedir(dir);
    return names;
}

void makeSocket(const fs::path& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.string().copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
}

} // namespace

TEST_F(WindowTest, PlainCalendarFilesAreListedInTheFileSystemsOrder)
{
    const std::set<std::string> calendarNames = {"a.dw2", ".hidden.dw2", "UPPER.DW2", "Mixed.Dw2", "link.dw2",
                                                 "odd \xff\xfe.dw2", ".dw2"};
    for (const std::string& name : calendarNames)
        if (name != "link.dw2")
            writeFile(calendars / name, needsAlign);
    fs::create_symlink("a.dw2", calendars / "link.dw2");
    fs::create_symlink("nowhere", calendars / "dangling.dw2");
    writeFile(calendars / "notes.txt", needsAlign);
    writeFile(calendars / "a.dw2.bak", needsAlign);
    writeFile(calendars / "dw2", needsAlign);
    fs::create_directory(calendars / "folder.dw2");
    ASSERT_EQ(::mkfifo((calendars / "pipe.dw2").c_str(), 0600), 0);
    makeSocket(calendars / "socket.dw2");
    fs::create_symlink("pipe.dw2", calendars / "link-to-pipe.dw2");

    storeValue("\"" + calendars.string() + "\"");
    openWindow();

    std::vector<std::string> expected = directoryOrder(calendars);
    std::erase_if(expected, [&](const std::string& name) { return !calendarNames.count(name); });
    EXPECT_EQ(form->ListedNames(), expected);
    EXPECT_EQ(form->CalendarBox->Items().data(form->CalendarBox->Items().index(form->CalendarBox->Items().RowOf(
                                                  "odd \xff\xfe.dw2")),
                                              Qt::DisplayRole)
                  .toString(),
              QString::fromUtf8("odd \xef\xbf\xbd\xef\xbf\xbd.dw2"));
}

// A control character in a name would break the row or vanish: the tree and
// the list show it as the same escape, which any font draws, and keep its
// bytes.
TEST_F(WindowTest, ControlCharactersInNamesShowTheSameInTheTreeAndTheList)
{
    const std::string odd = "new\nline\tand\x7f del";
    fs::create_directory(calendars / odd);
    writeFile(calendars / odd / (odd + ".dw2"), needsAlign);
    openWindow();
    selectInTree((calendars / odd).string());
    ASSERT_EQ(form->ListedNames(), std::vector<std::string>{odd + ".dw2"});

    const QString shown = QStringLiteral("new\\nline\\tand\\x7F del");
    const TStShellTreeModel& tree = form->ShellTree->Model();
    EXPECT_EQ(tree.data(tree.IndexOf(form->ShellTree->SelectedNode()), Qt::DisplayRole).toString(), shown);
    const dw::window::TCalendarListModel& list = form->CalendarBox->Items();
    EXPECT_EQ(list.data(list.index(0), Qt::DisplayRole).toString(), shown + ".dw2");
    EXPECT_EQ(list.data(list.index(0), dw::window::TCalendarListModel::NameRole).toByteArray().toStdString(),
              odd + ".dw2");
}

namespace {

// Whether the list, drawn now, shows no row at all.
bool DrawsNothing(dw::window::TCalendarBox& box)
{
    const QImage image = box.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != image.pixel(0, 0))
                return false;
    return true;
}

} // namespace

// While a big folder fills and its calendars are marked, the list is drawn
// between batches: each drawing shows the rows, never an empty list.
TEST_F(WindowTest, RowsAddedOrMarkedAreDrawnWithoutBlankingTheList)
{
    openWindow();
    dw::window::TCalendarListModel& items = form->CalendarBox->Items();
    std::vector<std::string> names;
    for (int i = 0; i < 3000; ++i)
        names.push_back("c" + std::to_string(i) + ".dw2");
    items.Append({names.begin(), names.begin() + 1500});
    EXPECT_FALSE(DrawsNothing(*form->CalendarBox)) << "after the first batch";
    items.Append({names.begin() + 1500, names.end()});
    EXPECT_FALSE(DrawsNothing(*form->CalendarBox)) << "after the second batch";
    dw::test::processEventsUntil([] { return false; }, 0, 50);
    for (int piece = 0; piece < 3; ++piece) {
        dw::window::TCalendarMarks::Marks marks;
        for (int row = piece * 1000; row < (piece + 1) * 1000; ++row)
            marks.emplace_back(row, dw::window::CalendarMark::UpToDate);
        items.SetMarks(marks);
        QCoreApplication::processEvents(); // the list takes the marks in
        EXPECT_FALSE(DrawsNothing(*form->CalendarBox)) << "after marks " << piece;
    }
}

TEST_F(WindowTest, SelectAllSelectsEveryEntryAndAnotherFolderReplacesTheList)
{
    for (int i = 0; i < 40; ++i)
        writeFile(calendars / ("c" + std::to_string(i) + ".dw2"), needsAlign);
    fs::create_directory(root / "Other");
    writeFile(root / "Other/other.dw2", needsAlign);
    storeValue("\"" + calendars.string() + "\"");
    openWindow();
    form->SelectBtn->click();
    std::vector<int> all(40);
    std::iota(all.begin(), all.end(), 0);
    EXPECT_EQ(selectedRows(), all);

    selectInTree((root / "Other").string());
    EXPECT_EQ(form->CurrentFolder(), folderOf(root / "Other"));
    EXPECT_EQ(form->ListedNames(), std::vector<std::string>{"other.dw2"});
    EXPECT_EQ(status(), folderOf(root / "Other") + "   \u2014   1 of 1 calendar needs converting");
}

TEST_F(WindowTest, AVirtualFolderChangesNothingAndTheRootGetsNoSecondDelimiter)
{
    writeFile(calendars / "a.dw2", needsAlign);
    storeValue("\"" + calendars.string() + "\"");
    openWindow();
    const std::string shown = status();
    selectInTree("computer:///");
    EXPECT_EQ(treeSelection(), "computer:///");
    EXPECT_EQ(form->CurrentFolder(), folderOf(calendars));
    EXPECT_EQ(status(), shown);
    EXPECT_EQ(form->ListedNames(), std::vector<std::string>{"a.dw2"});

    selectInTree("/");
    EXPECT_EQ(form->CurrentFolder(), "/");
    EXPECT_EQ(status().substr(0, 2).find("//"), std::string::npos) << status();
    EXPECT_EQ(errors, std::vector<Box>{});
}

// A namespace whose share "//SERVER/SHARE" is mounted at a real folder.
class SharedNamespace : public fake::FakeNamespace {
public:
    std::string mountPoint;
    std::optional<std::string> localPathOf(const std::string& name) override
    {
        const std::string share = "//SERVER/SHARE";
        if (name.rfind(share, 0) != 0)
            return std::nullopt;
        return mountPoint + name.substr(share.size());
    }
};

TEST_F(WindowTest, AShareIsAFileSystemFolderListedAndConvertedThroughItsMount)
{
    auto ns = std::make_shared<SharedNamespace>();
    ns->mountPoint = calendars.string();
    ScopedShellNamespace scope(ns);
    fake::FakeNode& share = ns->addShare(ns->desktop(), "SHARE", "SERVER");
    share.attributes |= SFGAO_FILESYSTEM;
    for (const char* name : {"a.dw2", "b.dw2"}) {
        ns->addFile(share, name, std::string("//SERVER/SHARE/") + name);
        writeFile(calendars / name, needsAlign);
    }
    fs::permissions(calendars / "b.dw2", fs::perms(0444));
    openWindow();
    selectInTree("//SERVER/SHARE");
    EXPECT_EQ(form->CurrentFolder(), "//SERVER/SHARE/");
    EXPECT_EQ(form->ListedNames(), (std::vector<std::string>{"a.dw2", "b.dw2"}));
    EXPECT_EQ(status(), "//SERVER/SHARE/   \u2014   2 of 2 calendars need converting");
    form->SelectBtn->click();
    convert();
    EXPECT_EQ(errors, (std::vector<Box>{
                          {title(), "Cannot create file //SERVER/SHARE/b.dw2.\nFiles modified before the error: 1."}}));
    EXPECT_EQ(dw::test::readFile(calendars / "a.dw2"), aligned);
}

TEST_F(WindowTest, AFolderThatDoesNotAnswerFreezesNothingAndANewSelectionCancelsIt)
{
    auto ns = std::make_shared<fake::FakeNamespace>();
    ScopedShellNamespace scope(ns);
    fake::FakeNode& slow = ns->addFolder(ns->desktop(), "Slow", "/slow");
    fake::FakeNode& quick = ns->addFolder(ns->desktop(), "Quick", "/quick");
    ns->addFile(slow, "late.dw2", "/slow/late.dw2");
    ns->addFile(quick, "q.dw2", "/quick/q.dw2");
    slow.volumeKey = "slow";
    slow.gate = std::make_shared<fake::ListingGate>();
    slow.gate->close();
    openWindow();

    form->ShellTree->setCurrentIndex(form->ShellTree->Model().IndexOf(form->ShellTree->NodeByPath("/slow")));
    ASSERT_TRUE(slow.gate->waitForHeld(1, 5000));
    EXPECT_TRUE(form->IsListing());
    EXPECT_EQ(form->CurrentFolder(), "/slow/");
    selectInTree("/quick");
    EXPECT_EQ(form->ListedNames(), std::vector<std::string>{"q.dw2"});
    slow.gate->open();
    dw::test::processEventsUntil([] { return false; }, 0, 200);
    EXPECT_EQ(form->ListedNames(), std::vector<std::string>{"q.dw2"});
}

} // namespace window_testing
