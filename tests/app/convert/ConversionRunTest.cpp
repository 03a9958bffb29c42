// SPDX-License-Identifier: MIT
#include "app/convert/ConversionRun.h"
#include "tests/app/convert/RunSupport.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

namespace fs = std::filesystem;
using dw::convert::CalendarEntry;
using dw::convert::ConversionError;
using dw::convert::ConversionRun;
using dw::test::aligned;
using dw::test::needsAlign;
using dw::test::readFile;
using dw::test::Recorder;
using dw::test::writeFile;

namespace {

TEST(ConversionRun, NothingSelectedReadsAndWritesNothing)
{
    dw::test::TempFolder folder;
    writeFile(folder / "a.dw2", needsAlign);
    EXPECT_EQ(dw::convert::convertSelectedCalendars(folder.prefix(), {{"a.dw2", false}}), 0);
    EXPECT_EQ(dw::convert::convertSelectedCalendars(folder.prefix(), {}), 0);
    EXPECT_EQ(readFile(folder / "a.dw2"), needsAlign);
    EXPECT_EQ(dw::convert::filesModifiedMessage(0), "Files modified: 0");
}

TEST(ConversionRun, UnreadableFilesAreSkippedAndTheRunGoesOn)
{
    dw::test::TempFolder folder;
    writeFile(folder / "good.dw2", needsAlign);
    fs::create_symlink("loop.dw2", folder / "loop.dw2");
    fs::create_symlink("nowhere.dw2", folder / "dangling.dw2");
    writeFile(folder / "nul.dw2", needsAlign + std::string("\0tail\r\n", 7));
    writeFile(folder / "last.dw2", needsAlign);
    Recorder recorder;
    ConversionRun run({}, &recorder);
    const std::vector<CalendarEntry> entries = {
        {"missing.dw2", true}, {"loop.dw2", true}, {"dangling.dw2", true}, {"nul.dw2", true},
        {"good.dw2", true}, {"last.dw2", true}};
    EXPECT_EQ(run.convert(folder.prefix(), entries), 2);
    EXPECT_EQ(recorder.skipped.size(), 4u);
    EXPECT_EQ(readFile(folder / "good.dw2"), aligned);
    EXPECT_EQ(readFile(folder / "nul.dw2"), needsAlign + std::string("\0tail\r\n", 7));
    EXPECT_TRUE(fs::is_symlink(folder / "dangling.dw2"));
    EXPECT_FALSE(fs::exists(folder / "nowhere.dw2"));
}

TEST(ConversionRun, ReadOnlyFileStopsTheRunWithCannotCreateFile)
{
    dw::test::TempFolder folder;
    writeFile(folder / "first.dw2", needsAlign);
    writeFile(folder / "locked.dw2", needsAlign);
    writeFile(folder / "after.dw2", needsAlign);
    fs::permissions(folder / "locked.dw2", fs::perms::owner_read | fs::perms::group_read);
    ConversionRun run;
    try {
        run.convert(folder.prefix(), {{"first.dw2", true}, {"locked.dw2", true}, {"after.dw2", true}});
        FAIL() << "the read-only file was replaced";
    } catch (const ConversionError& error) {
        const std::string path = folder.prefix() + "locked.dw2";
        EXPECT_EQ(std::string(error.what()), "Cannot create file " + path);
        EXPECT_EQ(dw::convert::withFullStop(error.what()), "Cannot create file " + path + ".");
    }
    EXPECT_EQ(run.filesWritten(), 1);
    EXPECT_EQ(readFile(folder / "first.dw2"), aligned);
    EXPECT_EQ(readFile(folder / "locked.dw2"), needsAlign);
    EXPECT_EQ(readFile(folder / "after.dw2"), needsAlign) << "the run went on after the failure";
}

TEST(ConversionRun, DryRunDecidesButWritesNothing)
{
    dw::test::TempFolder folder;
    writeFile(folder / "a.dw2", needsAlign);
    Recorder recorder;
    ConversionRun run({true}, &recorder);
    EXPECT_EQ(run.convert(folder.prefix(), {{"a.dw2", true}}), 1);
    EXPECT_EQ(recorder.written, std::vector<std::string>{folder.prefix() + "a.dw2"});
    EXPECT_EQ(readFile(folder / "a.dw2"), needsAlign);
}

TEST(ConversionRun, ReadingAheadKeepsListOrderAndStopsAtAFailedWrite)
{
    dw::test::TempFolder folder;
    std::vector<CalendarEntry> entries;
    for (int i = 0; i < 200; ++i) {
        const std::string name = "cal" + std::to_string(i) + ".dw2";
        writeFile(folder / name, i % 3 == 0 ? needsAlign : aligned);
        entries.push_back({name, i != 7});
    }
    fs::permissions(folder / "cal150.dw2", fs::perms(0444));
    Recorder recorder;
    ConversionRun run({}, &recorder);
    EXPECT_THROW(run.convert(folder.prefix(), entries), ConversionError);
    std::vector<std::string> expected;
    for (int i = 0; i < 150; i += 3)
        expected.push_back(folder.prefix() + "cal" + std::to_string(i) + ".dw2");
    EXPECT_EQ(recorder.written, expected);
    EXPECT_EQ(readFile(folder / "cal153.dw2"), needsAlign) << "a file after the failure was written";
    EXPECT_EQ(readFile(folder / "cal147.dw2"), aligned);
}

TEST(ConversionRun, LinksToACalendarConvertedEarlierInTheRunAreNoFailure)
{
    dw::test::TempFolder folder;
    writeFile(folder / "a.dw2", needsAlign);
    fs::create_hard_link(folder / "a.dw2", folder / "b.dw2");
    fs::create_symlink("a.dw2", folder / "c.dw2");
    writeFile(folder / "d.dw2", needsAlign);
    ConversionRun run;
    EXPECT_EQ(run.convert(folder.prefix(), {{"a.dw2", true}, {"b.dw2", true}, {"c.dw2", true}, {"d.dw2", true}}), 2);
    EXPECT_EQ(readFile(folder / "b.dw2"), aligned);
    EXPECT_EQ(readFile(folder / "c.dw2"), aligned);
    EXPECT_EQ(readFile(folder / "d.dw2"), aligned);
}

// Runs in a child process whose address space is capped at 1 GiB.
[[noreturn]] void convertUnderMemoryLimit(const std::string& folder)
{
    const struct rlimit limit = {rlim_t(1) << 30, rlim_t(1) << 30};
    ::setrlimit(RLIMIT_AS, &limit);
    Recorder recorder;
    ConversionRun run({}, &recorder);
    const std::vector<CalendarEntry> entries = {{"a.dw2", true}, {"huge.dw2", true}, {"z.dw2", true}};
    const auto written = run.convert(folder, entries);
    std::exit(written == 2 && recorder.skipped.size() == 1 ? 0 : 1);
}

TEST(ConversionRun, CalendarTooLargeForMemoryIsSkippedNotACrash)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer needs more address space than the cap leaves";
#endif
    dw::test::TempFolder folder;
    writeFile(folder / "a.dw2", needsAlign);
    writeFile(folder / "z.dw2", needsAlign);
    const fs::path huge = folder / "huge.dw2";
    writeFile(huge, needsAlign);
    fs::resize_file(huge, std::uintmax_t(4) << 30); // sparse: costs no disk
    EXPECT_EXIT(convertUnderMemoryLimit(folder.prefix()), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(readFile(folder / "z.dw2"), aligned) << "the run stopped at the large calendar";
    EXPECT_EQ(fs::file_size(huge), std::uintmax_t(4) << 30);
}

TEST(ConversionRun, FullStopOnlyAfterCharactersThatSortAfterIt)
{
    EXPECT_EQ(dw::convert::withFullStop("Stream write error"), "Stream write error.");
    EXPECT_EQ(dw::convert::withFullStop("Done."), "Done.");
    EXPECT_EQ(dw::convert::withFullStop("Really!"), "Really!");
    EXPECT_EQ(dw::convert::withFullStop(""), "");
}

} // namespace
