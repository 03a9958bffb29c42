// SPDX-License-Identifier: MIT
// The default calendar folder read while the window is created, and the
// tree opened there when it shows.

#include "tests/app/window/WindowTestSupport.h"
#include "tests/support/IsolatedRun.h"

#include "app/window/MainTexts.h"
#include "shell/tree/StShellTreeModel.h"
#include "tests/support/HangingShare.h"
#include "tests/support/qt/EventLoopWaiting.h"
#include "shell/tree/StShellTreeView.h"

#include <QItemSelectionModel>

#include <algorithm>
#include <iostream>
#include <sstream>

namespace fs = std::filesystem;
using dw::test::readFile;
using dw::test::writeFile;

namespace window_testing {

// The desktop is a file-system folder here, holding a calendar: the tree
// opens there, but the list stays empty until the user selects a folder.
TEST_F(WindowTest, AMissingKeyIsMadeAndTheWindowOpensWithNoFolder)
{
    openWindow();
    EXPECT_EQ(readFile(settings), "Windows Registry Editor Version 5.00\n\n[Software\\Quillfen]\n");
    EXPECT_EQ(form->CurrentFolder(), "");
    EXPECT_EQ(status(), "");
    EXPECT_EQ(form->CalendarBox->Items().Count(), 0);
    EXPECT_EQ(form->ShellTree->SelectedNode(), form->ShellTree->Model().TopNode()) << "the desktop";
    EXPECT_EQ(errors, std::vector<Box>{});

    // Once the user has chosen, the desktop's calendars are listed like any.
    selectInTree(calendars.string());
    selectInTree("");
    EXPECT_EQ(form->CurrentFolder(), folderOf(desktop()));
    EXPECT_EQ(form->ListedNames(), std::vector<std::string>{"on-the-desktop.dw2"});
}

TEST_F(WindowTest, ASettingNamingTheDesktopsFolderListsIt)
{
    storeValue("\"" + desktop().string() + "\"");
    openWindow();
    EXPECT_EQ(form->CurrentFolder(), folderOf(desktop()));
    EXPECT_EQ(form->ListedNames(), std::vector<std::string>{"on-the-desktop.dw2"});
}

TEST_F(WindowTest, StringValuesAreTakenAsStoredUpToTheirFirstNul)
{
    const std::string folder = calendars.string();
    std::string utf16;
    for (char c : folder)
        utf16 += QString::asprintf("%02x,00,", static_cast<unsigned char>(c)).toStdString();
    const struct {
        std::string valueLine;
        std::string expected;
    } cases[] = {
        {"\"" + folder + "\"", folder},
        {"hex(1):" + utf16 + "00,00,41,00", folder},                       // NUL, then more
        {"hex(2):24,00,48,00,4f,00,4d,00,45,00,2f,00,43,00,00,00", "$HOME/C"}, // expandable, not expanded
    };
    for (const auto& [valueLine, expected] : cases) {
        storeValue(valueLine);
        openWindow({}, false);
        EXPECT_EQ(form->CurrentFolder(), expected) << valueLine;
    }
    writeFile(settings, "Windows Registry Editor Version 5.00\n\n[Software\\Quillfen\\Datewright 2]\n\"Other\"=\"x\"\n");
    openWindow({}, false);
    EXPECT_EQ(form->CurrentFolder(), "");
    EXPECT_EQ(errors, std::vector<Box>{});
}

TEST_F(WindowTest, TheTreeOpensAtTheStoredFolderAndItsCalendarsAreListed)
{
    writeFile(calendars / "work.dw2", needsAlign);
    storeValue("\"" + calendars.string() + "\"");
    openWindow();
    EXPECT_EQ(treeSelection(), calendars.string());
    EXPECT_EQ(form->focusWidget(), static_cast<QWidget*>(form->ShellTree));
    EXPECT_EQ(form->CurrentFolder(), folderOf(calendars));
    EXPECT_EQ(form->ListedNames(), std::vector<std::string>{"work.dw2"});
    EXPECT_EQ(errors, std::vector<Box>{});
}

TEST_F(WindowTest, AnExpandableStringIsNoFolderTheTreeKnowsAndTheWindowGoesOn)
{
    storeValue("hex(2):24,00,48,00,4f,00,4d,00,45,00,2f,00,43,00,00,00");
    openWindow();
    EXPECT_EQ(errors, (std::vector<Box>{{title(), "Cannot open \"$HOME/C\", the default calendar folder named by the "
                                                  "setting DefaultCalendarDir: a relative path names no folder."}}));
    EXPECT_EQ(form->CurrentFolder(), "$HOME/C");
    EXPECT_EQ(form->CalendarBox->Items().Count(), 0);
    selectInTree(calendars.string());
    EXPECT_EQ(form->CurrentFolder(), folderOf(calendars));
}

// A stored folder that cannot be opened is named, with where it came from
// and why; the window opens without a folder.
TEST_F(WindowTest, AStoredFolderThatIsMissingOrAFileIsNamedWithTheSetting)
{
    writeFile(calendars / "work.dw2", needsAlign);
    const struct {
        std::string value;
        std::string reason;
    } cases[] = {
        {(root / "gone").string(), "No such file or directory"},
        {(calendars / "work.dw2").string(), "it is not a folder"},
        {"Calendars", "a relative path names no folder"},
    };
    for (const auto& [value, reason] : cases) {
        errors.clear();
        storeValue("\"" + value + "\"");
        openWindow();
        EXPECT_EQ(errors, (std::vector<Box>{{title(), QString::fromStdString(
                                                          "Cannot open \"" + value + "\", the default calendar folder "
                                                          "named by the setting DefaultCalendarDir: " + reason + ".")}}));
        EXPECT_EQ(form->CalendarBox->Items().Count(), 0) << value;
        EXPECT_EQ(form->ShellTree->SelectedNode(), form->ShellTree->Model().TopNode()) << value;
    }
}

TEST_F(WindowTest, AValueOfAnotherTypeIsShownAndTheWindowOpensWithNoFolder)
{
    storeValue("dword:0000002a");
    openWindow();
    EXPECT_EQ(errors, (std::vector<Box>{{title(), "Invalid data type for 'DefaultCalendarDir'"}})); // "'" sorts before "."
    EXPECT_EQ(form->CurrentFolder(), "");
    EXPECT_EQ(form->ShellTree->SelectedNode(), form->ShellTree->Model().TopNode());
    EXPECT_EQ(form->CalendarBox->Items().Count(), 0);
}

TEST_F(WindowTest, ADamagedSettingsFileIsNamedWithItsLineOnceAndLeftAsItIs)
{
    fs::create_directories(settings.parent_path());
    const std::string damaged = "Windows Registry Editor Version 5.00\n\n[Software\\Quillfen]\n\"DefaultCalendarDir\"=/x\n";
    writeFile(settings, damaged);
    openWindow();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].text.toStdString().find("Damaged settings file " + settings.string() + " at line 4"), 0u)
        << errors[0].text.toStdString();
    EXPECT_EQ(readFile(settings), damaged);
    EXPECT_EQ(form->CurrentFolder(), "");
}

TEST_F(WindowTest, WithoutAStoredValueTheWinePrefixIsAskedAndItsDriveMapped)
{
    const fs::path wine = root / "wine";
    fs::create_directories(wine / "drive_c/Calendars");
    fs::create_directories(wine / "dosdevices");
    fs::create_symlink("../drive_c", wine / "dosdevices/c:");
    writeFile(wine / "user.reg", "WINE REGISTRY Version 2\n\n[Software\\\\Quillfen\\\\Datewright 2] 1700000000\n"
                                 "\"DefaultCalendarDir\"=\"C:\\\\Calendars\"\n");
    openWindow();
    EXPECT_EQ(form->CurrentFolder(), folderOf(wine / "drive_c/Calendars"));
    EXPECT_EQ(treeSelection(), (wine / "drive_c/Calendars").string());
}

TEST_F(WindowTest, AFolderGivenAtStartIsOpenedInsteadAndAFileIsSelectedOnceListed)
{
    storeValue("dword:00000001"); // not read at all
    for (const char* name : {"a.dw2", "b.dw2", "c.dw2"})
        writeFile(calendars / name, needsAlign);
    openWindow({dw::app::StartupArgument::Kind::File, calendars.string(), "b.dw2", {}});
    EXPECT_EQ(form->CurrentFolder(), folderOf(calendars));
    EXPECT_EQ(selectedRows(), std::vector<int>{form->CalendarBox->Items().RowOf("b.dw2")});
    EXPECT_EQ(form->CalendarBox->currentIndex().row(), form->CalendarBox->Items().RowOf("b.dw2"));
    EXPECT_EQ(errors, std::vector<Box>{});
}

// A path given at start is looked at once the window shows. One that
// cannot be used is told on standard error and in the error box (a program
// started from a launcher has no terminal), and the window stays, with no
// folder.
TEST_F(WindowTest, AStartPathIsExaminedOnceTheWindowShowsAndAMissingOneIsShownInABox)
{
    using dw::app::StartupArgument;
    writeFile(calendars / "a.dw2", needsAlign);
    writeFile(calendars / "b.dw2", needsAlign);

    openWindow({StartupArgument::Kind::Path, {}, {}, {}, (calendars / "b.dw2").string()});
    EXPECT_EQ(form->CurrentFolder(), folderOf(calendars));
    EXPECT_EQ(selectedRows(), std::vector<int>{form->CalendarBox->Items().RowOf("b.dw2")});

    openWindow({StartupArgument::Kind::Path, {}, {}, {}, calendars.string()});
    EXPECT_EQ(form->CurrentFolder(), folderOf(calendars));
    EXPECT_EQ(form->ListedNames().size(), 2u);
    EXPECT_EQ(errors, std::vector<Box>{});

    std::ostringstream standardError;
    std::streambuf* const saved = std::cerr.rdbuf(standardError.rdbuf());
    openWindow({StartupArgument::Kind::Path, {}, {}, {}, (root / "gone").string()});
    std::cerr.rdbuf(saved);
    const std::string message = "datewright-converter: cannot open " + (root / "gone").string()
        + ": No such file or directory";
    EXPECT_EQ(standardError.str(), message + "\n");
    EXPECT_EQ(errors, (std::vector<Box>{{title(), QString::fromStdString(message + ".")}}));
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->CurrentFolder(), "");
    EXPECT_EQ(form->CalendarBox->Items().Count(), 0);
}

// `datewright-converter SHARE/sub` while the share's server does not
// answer: the window shows at once and says it waits, then that the share
// cannot be reached; the folder opens once the server answers.
TEST_F(WindowTest, AStartFolderOnAShareThatDoesNotAnswerOpensWhenItAnswers)
{
    std::filesystem::create_directories(root / "share");
    dw::test::HangingShare share((root / "share").string(), "fileserver:/export");
    if (!share.unavailable().empty()) {
        if (dw::test::RanWithMountsOfItsOwn())
            return;
        GTEST_SKIP() << share.unavailable();
    }
    const std::string folder = (root / "share/sub").string();
    share.stop();
    // Should the window wait for the share after all, the server answers
    // after a while, so that the test ends and fails instead of hanging.
    dw::test::ShareRescue rescue(share, 20000);
    const dw::app::StartupArgument place = dw::app::parseStartupArgument({folder}, "/");
    form = std::make_unique<dw::window::TForm1>(place);
    form->SetNoAnswerDelay(200);
    form->show();
    form->grab();
    const bool openingWhileSilent = form->IsOpeningStart();
    rescue.done();
    ASSERT_TRUE(openingWhileSilent) << "the window waited for the share before it showed";
    EXPECT_EQ(status(), folder + dw::window::waitingForDiskSuffix().toStdString());
    dw::test::processEventsUntil([] { return false; }, 0, 400);
    EXPECT_EQ(status(), folder + dw::window::noAnswerSuffix().toStdString());
    EXPECT_EQ(form->CurrentFolder(), "");

    share.resume();
    settle();
    EXPECT_EQ(form->CurrentFolder(), folderOf(folder));
    std::vector<std::string> names = form->ListedNames();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.dw2"}));
    EXPECT_EQ(errors, std::vector<Box>{});
    form.reset(); // before the share goes
}

} // namespace window_testing
