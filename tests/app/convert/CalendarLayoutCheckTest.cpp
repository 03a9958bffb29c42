// SPDX-License-Identifier: MIT
// The read-only check that marks calendars already in the 2.20 layout.

#include "app/convert/CalendarLayoutCheck.h"
#include "tests/app/convert/RunSupport.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace dw::test;
using dw::convert::CalendarState;
using dw::convert::inspectCalendar;

namespace {

struct stat statusOf(const fs::path& path)
{
    struct stat status {};
    ::stat(path.c_str(), &status);
    return status;
}

TEST(CalendarLayoutCheck, TellsWhatEachCalendarNeedsAndChangesNothing)
{
    TempFolder folder;
    writeFile(folder / "old.dw2", needsAlign);
    writeFile(folder / "new.dw2", aligned);
    writeFile(folder / "nul.dw2", needsAlign + std::string(1, '\0'));
    fs::create_symlink("old.dw2", folder / "link.dw2");
    fs::create_directory(folder / "folder.dw2");
    const struct stat before = statusOf(folder / "old.dw2");
    EXPECT_EQ(inspectCalendar((folder / "old.dw2").string()), CalendarState::NeedsConversion);
    EXPECT_EQ(inspectCalendar((folder / "link.dw2").string()), CalendarState::NeedsConversion);
    EXPECT_EQ(inspectCalendar((folder / "new.dw2").string()), CalendarState::UpToDate);
    EXPECT_EQ(inspectCalendar((folder / "nul.dw2").string()), CalendarState::Unreadable);
    EXPECT_EQ(inspectCalendar((folder / "missing.dw2").string()), CalendarState::Unreadable);
    EXPECT_EQ(inspectCalendar((folder / "folder.dw2").string()), CalendarState::Unreadable);
    const struct stat after = statusOf(folder / "old.dw2");
    EXPECT_EQ(readFile(folder / "old.dw2"), needsAlign);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(after.st_ctim.tv_nsec, before.st_ctim.tv_nsec);
    EXPECT_EQ(listNames(folder.path()), "folder.dw2;link.dw2;new.dw2;nul.dw2;old.dw2;");
}

TEST(CalendarLayoutCheck, NeverOpensAPipeAndNeverWaitsForOne)
{
    TempFolder folder;
    ASSERT_EQ(::mkfifo((folder / "pipe.dw2").c_str(), 0644), 0);
    fs::create_symlink("pipe.dw2", folder / "link.dw2");
    const int watch = ::inotify_init1(IN_NONBLOCK);
    ::inotify_add_watch(watch, (folder / "pipe.dw2").c_str(), IN_OPEN);
    EXPECT_EQ(inspectCalendar((folder / "pipe.dw2").string()), CalendarState::Unreadable);
    EXPECT_EQ(inspectCalendar((folder / "link.dw2").string()), CalendarState::Unreadable);
    char events[256];
    EXPECT_LT(::read(watch, events, sizeof events), 0) << "the pipe was opened";
    ::close(watch);
}

TEST(CalendarLayoutCheck, ALargeCalendarIsReadToItsLastLine)
{
    TempFolder folder;
    std::string big = "<datewright>\n<script>\n<weekcal>\n";
    while (big.size() < (16u << 20))
        big += "<events>\n<x>\n<eventcolor>1\n</events>\n";
    writeFile(folder / "fine.dw2", big);
    writeFile(folder / "late.dw2", big + "<events>\n<eventcolor>1\n");
    EXPECT_EQ(inspectCalendar((folder / "fine.dw2").string()), CalendarState::UpToDate);
    EXPECT_EQ(inspectCalendar((folder / "late.dw2").string()), CalendarState::NeedsConversion);
}

TEST(CalendarLayoutCheck, ManyThreadsAtOnceAgreeWithOne)
{
    TempFolder folder;
    std::vector<std::string> paths;
    std::vector<CalendarState> expected;
    for (int i = 0; i < 60; ++i) {
        const std::string path = (folder / ("c" + std::to_string(i) + ".dw2")).string();
        writeFile(path, i % 3 == 0 ? needsAlign : i % 3 == 1 ? aligned : needsAlign + std::string(1, '\0'));
        paths.push_back(path);
        expected.push_back(i % 3 == 0 ? CalendarState::NeedsConversion
                                      : i % 3 == 1 ? CalendarState::UpToDate : CalendarState::Unreadable);
    }
    std::vector<std::future<std::vector<CalendarState>>> threads;
    for (int t = 0; t < 4; ++t)
        threads.push_back(std::async(std::launch::async, [&] {
            std::vector<CalendarState> states;
            for (const std::string& path : paths)
                states.push_back(inspectCalendar(path));
            return states;
        }));
    for (auto& thread : threads)
        EXPECT_EQ(thread.get(), expected);
}

} // namespace
