// SPDX-License-Identifier: MIT
// The walk of folders behind dw2convert -r.

#include "app/convert/ConversionRun.h"
#include "app/dw2convert/CalendarFolderWalk.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using dw::cli::CalendarFolderWalk;
using dw::convert::ConversionInterrupted;
using dw::convert::ConversionRun;

namespace {

struct Counter : dw::convert::ConversionObserver {
    int written = 0;
    void calendarWritten(const std::string&) override { ++written; }
};

TEST(FolderWalk, AStopRequestEndsTheWalkBetweenFoldersEvenWithoutCalendars)
{
    dw::test::TempFolder folder;
    for (int i = 0; i < 100; ++i)
        fs::create_directories(folder / ("f" + std::to_string(i)) / "inner");
    ConversionRun run;
    int asked = 0;
    std::vector<std::string> warnings;
    CalendarFolderWalk walk(
        run, {true}, [&](const std::string& path, const std::string&) { warnings.push_back(path); },
        [&] { return ++asked > 20; });
    EXPECT_THROW(walk.convertPath(folder.path().string()), ConversionInterrupted);
    EXPECT_EQ(asked, 21);
    EXPECT_TRUE(warnings.empty());
}

TEST(FolderWalk, ATreeDeeperThanTheFoldersHeldOpenIsWalkedWhole)
{
    // 150 levels, each with a side folder holding a calendar: on the way
    // back up, parents closed to spare descriptors are found again.
    dw::test::TempFolder folder;
    fs::path level = folder.path();
    for (int i = 0; i < 150; ++i) {
        fs::create_directories(level / "side");
        std::ofstream(level / "side" / "c.dw2") << "<datewright>\n<script>\n<daycal>\n<events>\n<eventcolor>\n";
        level /= "next";
    }
    fs::create_directories(level);
    Counter counter;
    ConversionRun run({true}, &counter);
    std::vector<std::string> warnings;
    CalendarFolderWalk walk(
        run, {true}, [&](const std::string& path, const std::string& reason) { warnings.push_back(reason + ": " + path); }, {});
    walk.convertPath(folder.path().string());
    EXPECT_EQ(counter.written, 150);
    EXPECT_TRUE(warnings.empty()) << warnings.front();
}

} // namespace
