// SPDX-License-Identifier: MIT
// "Convert Selected" from the window: the count, the failures that stop a
// run, the files skipped without a word, the progress dialog's Cancel, and
// the marks of calendars already converted.

#include "tests/app/window/WindowTestSupport.h"

#include "app/window/CalendarListModel.h"
#include "tests/support/qt/EventLoopWaiting.h"

#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QWindow>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <atomic>
#include <cerrno>
#include <unistd.h>

namespace fs = std::filesystem;
using dw::test::readFile;
using dw::test::writeFile;
using dw::window::CalendarMark;

namespace window_testing {

class Converting : public WindowTest {
protected:
    // Calendars named `names` that need converting, then the window open
    // at their folder.
    void listCalendars(const std::vector<std::string>& names)
    {
        for (const std::string& name : names)
            writeFile(calendars / name, needsAlign);
        storeValue("\"" + calendars.string() + "\"");
        openWindow();
    }
    // The calendar in place `at` of the list.
    fs::path listed(std::size_t at) const { return calendars / form->ListedNames().at(at); }
    int row(const std::string& name) const { return form->CalendarBox->Items().RowOf(name); }
    // File access whose writes wait until `release` is set.
    static dw::platform::FileIo writesWaitingFor(const std::atomic<bool>& release)
    {
        dw::platform::FileIo io = dw::platform::systemFileIo();
        io.pwrite = [&release](int fd, const void* data, std::size_t size, off_t offset) -> ssize_t {
            while (!release)
                ::usleep(1000);
            return ::pwrite(fd, data, size, offset);
        };
        return io;
    }
    void select(const std::vector<std::string>& names)
    {
        std::vector<int> rows;
        for (const std::string& name : names)
            rows.push_back(row(name));
        selectRows(rows);
    }
};

TEST_F(Converting, TheSelectedCalendarsAreConvertedAndCountedAndStaySelected)
{
    writeFile(calendars / "done.dw2", aligned);
    listCalendars({"a.dw2", "b.dw2", "c.dw2"});
    select({"a.dw2", "c.dw2", "done.dw2"});
    const std::vector<int> before = selectedRows();
    convert();
    EXPECT_EQ(messages, (std::vector<Box>{{title(), "Files modified: 2"}}));
    EXPECT_EQ(readFile(calendars / "a.dw2"), aligned);
    EXPECT_EQ(readFile(calendars / "b.dw2"), needsAlign);
    EXPECT_EQ(readFile(calendars / "c.dw2"), aligned);
    EXPECT_EQ(selectedRows(), before);
    EXPECT_EQ(form->CalendarBox->Items().MarkAt(row("a.dw2")), CalendarMark::UpToDate);
    EXPECT_EQ(status(), folderOf(calendars) + "   \u2014   1 of 4 calendars need converting");

    form->CalendarBox->clearSelection();
    convert();
    EXPECT_EQ(messages.back(), (Box{title(), "Files modified: 0"}));
    EXPECT_EQ(errors, std::vector<Box>{});
}

TEST_F(Converting, CalendarsAlreadyConvertedOrSkippedAreMarkedWithATipAndNotCounted)
{
    writeFile(calendars / "new.dw2", aligned);
    writeFile(calendars / "nul.dw2", needsAlign + std::string("\0", 1));
    listCalendars({"old.dw2"});
    const dw::window::TCalendarListModel& items = form->CalendarBox->Items();
    EXPECT_EQ(items.MarkAt(row("new.dw2")), CalendarMark::UpToDate);
    EXPECT_EQ(items.MarkAt(row("old.dw2")), CalendarMark::NeedsConversion);
    EXPECT_EQ(items.MarkAt(row("nul.dw2")), CalendarMark::Unreadable);
    EXPECT_EQ(items.data(items.index(row("new.dw2")), Qt::ToolTipRole).toString(),
              dw::window::TCalendarListModel::UpToDateTip());
    EXPECT_TRUE(items.data(items.index(row("new.dw2")), Qt::ForegroundRole).isValid());
    EXPECT_FALSE(items.data(items.index(row("old.dw2")), Qt::ForegroundRole).isValid());
    // Skipped by a run: it must not look like one that needs converting.
    EXPECT_EQ(items.data(items.index(row("nul.dw2")), Qt::ToolTipRole).toString(),
              dw::window::TCalendarListModel::SkippedTip());
    EXPECT_TRUE(items.data(items.index(row("nul.dw2")), Qt::ForegroundRole).isValid());
    EXPECT_TRUE(items.data(items.index(row("nul.dw2")), Qt::FontRole).value<QFont>().italic());
    EXPECT_FALSE(items.data(items.index(row("old.dw2")), Qt::ToolTipRole).isValid());
    EXPECT_FALSE(items.data(items.index(row("new.dw2")), Qt::FontRole).isValid());
    EXPECT_EQ(status(), folderOf(calendars) + "   \u2014   1 of 3 calendars need converting");
}

TEST_F(Converting, AFileThatCannotBeCreatedStopsTheRunWithTheEnginesMessage)
{
    listCalendars({"1.dw2", "2.dw2", "3.dw2"});
    fs::permissions(listed(1), fs::perms(0444));
    form->SelectBtn->click();
    convert();
    EXPECT_EQ(errors, (std::vector<Box>{{title(), QString::fromStdString("Cannot create file " + listed(1).string()
                                                                          + ".\nFiles modified before the error: 1.")}}));
    EXPECT_EQ(messages, std::vector<Box>{});
    EXPECT_EQ(readFile(listed(0)), aligned);
    EXPECT_EQ(readFile(listed(1)), needsAlign);
    EXPECT_EQ(readFile(listed(2)), needsAlign);
    EXPECT_EQ(form->CalendarBox->Items().MarkAt(0), CalendarMark::UpToDate);
}

TEST_F(Converting, AFailedWriteIsAStreamWriteErrorAndSkippedFilesSayNothing)
{
    writeFile(calendars / "nul.dw2", needsAlign + std::string("\0", 1));
    listCalendars({"1.dw2", "gone.dw2", "2.dw2", "3.dw2"});
    fs::remove(calendars / "gone.dw2");
    std::atomic<int> writes{0};
    dw::platform::FileIo io = dw::platform::systemFileIo();
    io.pwrite = [&writes](int fd, const void* data, std::size_t size, off_t offset) -> ssize_t {
        if (++writes > 1) { // the disk is full after the first calendar
            errno = ENOSPC;
            return -1;
        }
        return ::pwrite(fd, data, size, offset);
    };
    form->SetConversionOptions({false, &io, 0});
    form->SelectBtn->click();
    convert();
    EXPECT_EQ(errors, (std::vector<Box>{{title(), "Stream write error.\nFiles modified before the error: 1."}}));
    int converted = 0;
    for (std::size_t at = 0; at < 5; ++at)
        converted += fs::exists(listed(at)) && readFile(listed(at)) == aligned;
    EXPECT_EQ(converted, 1);
    EXPECT_EQ(messages, std::vector<Box>{});

    errors.clear();
    form->SetConversionOptions({});
    convert();
    EXPECT_EQ(errors, std::vector<Box>{}) << "unreadable and NUL files are skipped silently";
    EXPECT_EQ(messages, (std::vector<Box>{{title(), "Files modified: 2"}}));
}

TEST_F(Converting, CancelInTheProgressDialogStopsBetweenTwoFiles)
{
    listCalendars({"1.dw2", "2.dw2", "3.dw2"});
    // The first calendar's write waits until the dialog's Cancel was pressed.
    std::atomic<bool> cancelled{false};
    const dw::platform::FileIo io = writesWaitingFor(cancelled);
    form->SetConversionOptions({false, &io, 0});
    form->SetProgressDelay(0);
    bool wasModal = false;
    QTimer presser;
    QObject::connect(&presser, &QTimer::timeout, [&] {
        if (QProgressDialog* dialog = form->ProgressDialog(); dialog && dialog->isVisible() && !cancelled) {
            wasModal = dialog->windowModality() == Qt::WindowModal;
            dialog->findChild<QPushButton*>()->click();
            cancelled = true;
        }
    });
    presser.start(5);
    form->SelectBtn->click();
    convert();
    EXPECT_TRUE(cancelled);
    EXPECT_TRUE(wasModal);
    EXPECT_EQ(messages, (std::vector<Box>{{title(), "Files modified: 1"}}));
    EXPECT_EQ(readFile(listed(0)), aligned);
    EXPECT_EQ(readFile(listed(1)), needsAlign);
    EXPECT_EQ(readFile(listed(2)), needsAlign);
    EXPECT_EQ(form->ProgressDialog(), nullptr);
}

// A click on the main window while the dialog shows makes the window
// manager activate the main window; the dialog takes the focus back, so
// that Esc still reaches it and cancels.
TEST_F(Converting, TheProgressDialogKeepsTheFocusAndEscCancels)
{
    listCalendars({"1.dw2", "2.dw2", "3.dw2"});
    std::atomic<bool> cancelled{false};
    const dw::platform::FileIo io = writesWaitingFor(cancelled);
    form->SetConversionOptions({false, &io, 0});
    form->SetProgressDelay(0);
    enum class Step { WaitForDialog, ClickMainWindow, PressEsc, Done } step = Step::WaitForDialog;
    QWindow* focusedBeforeEsc = nullptr;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        QProgressDialog* dialog = form->ProgressDialog();
        if (!dialog || !dialog->isVisible())
            return;
        switch (step) {
        case Step::WaitForDialog:
            if (QGuiApplication::focusWindow() == dialog->windowHandle())
                step = Step::ClickMainWindow;
            break;
        case Step::ClickMainWindow:
            form->windowHandle()->requestActivate();
            step = Step::PressEsc;
            break;
        case Step::PressEsc: {
            focusedBeforeEsc = QGuiApplication::focusWindow();
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(focusedBeforeEsc, &press);
            QCoreApplication::sendEvent(focusedBeforeEsc, &release);
            step = Step::Done;
            // The run waits for a cancel that may not come: let it go.
            QTimer::singleShot(2000, [&cancelled] { cancelled = true; });
            break;
        }
        case Step::Done:
            if (dialog->wasCanceled())
                cancelled = true;
            break;
        }
    });
    user.start(20);
    form->SelectBtn->click();
    convert();
    ASSERT_EQ(step, Step::Done);
    EXPECT_NE(focusedBeforeEsc, form->windowHandle()) << "the main window took the focus";
    EXPECT_EQ(messages, (std::vector<Box>{{title(), "Files modified: 1"}})) << "Esc did not cancel";
    EXPECT_EQ(readFile(listed(1)), needsAlign);
}

} // namespace window_testing
