// SPDX-License-Identifier: MIT
// How a calendar is written: a failure at any point leaves it as it was, a
// reported success is on disk, and nothing is left beside it.

#include "app/convert/ConversionRun.h"
#include "tests/app/convert/RunSupport.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace dw::test;
using dw::convert::ConversionError;
using dw::convert::ConversionOptions;
using dw::convert::ConversionRun;

namespace {

class Writing : public ThreeCalendars {
protected:
    std::string errorOf(const std::vector<std::string>& names)
    {
        try {
            convert(names);
        } catch (const ConversionError& error) {
            return error.what();
        }
        return "no error";
    }
};

TEST_F(Writing, ShortWritesAreCarriedOn)
{
    faulty.pwrite = [](int fd, const void* data, std::size_t size, off_t offset) {
        return ::pwrite(fd, data, size < 3 ? size : 3, offset);
    };
    EXPECT_EQ(convert({"a.dw2"}), 1);
    EXPECT_EQ(readFile(folder / "a.dw2"), aligned);
    EXPECT_GT(faulty.pwriteCalls, 5);
}

TEST_F(Writing, FullDiskPartWayKeepsTheOriginalAndStopsTheRun)
{
    faulty.pwrite = [this](int fd, const void* data, std::size_t size, off_t offset) -> ssize_t {
        if (faulty.pwriteCalls == 2) {
            errno = ENOSPC;
            return -1;
        }
        return ::pwrite(fd, data, size, offset);
    };
    EXPECT_EQ(errorOf({"a.dw2", "b.dw2", "c.dw2"}), "Stream write error");
    EXPECT_EQ(recorder.written, std::vector<std::string>{folder.prefix() + "a.dw2"});
    EXPECT_EQ(readFile(folder / "b.dw2"), needsAlign);
    EXPECT_EQ(readFile(folder / "c.dw2"), needsAlign) << "the run went on after the failure";
    EXPECT_EQ(hiddenNames(folder.path()), "");
}

TEST_F(Writing, AFailedFlushIsFinalAndStopsAtThatFileInListOrder)
{
    // The three new files are flushed together; the second fails. The first
    // is still put in place, the third is not touched.
    writeFile(folder / "b.dw2", needsAlign + std::string(1000, ' '));
    faulty.fdatasync = [](int fd) {
        struct stat status {};
        ::fstat(fd, &status);
        if (status.st_size > 1000) {
            errno = EIO;
            return -1;
        }
        return ::fdatasync(fd);
    };
    EXPECT_EQ(errorOf({"a.dw2", "b.dw2", "c.dw2"}), "Stream write error");
    EXPECT_EQ(faulty.syncCalls, 3) << "each new file is flushed once, never again after a failure";
    EXPECT_EQ(readFile(folder / "a.dw2"), aligned);
    EXPECT_EQ(readFile(folder / "b.dw2"), needsAlign + std::string(1000, ' '));
    EXPECT_EQ(readFile(folder / "c.dw2"), needsAlign);
    EXPECT_EQ(recorder.written, std::vector<std::string>{folder.prefix() + "a.dw2"});
    EXPECT_EQ(hiddenNames(folder.path()), "");
}

TEST(WritingInBatches, ReportsKeepListOrderAndAFailedFlushStopsThereWhileTheNextBatchWaits)
{
    // Enough calendars for several batches: one is flushed while the next is
    // gathered. A flush fails in the second; the third, gathered meanwhile,
    // must not be touched, and skipped calendars keep their place among the
    // written ones in the reports.
    TempFolder folder;
    FaultyIo faulty;
    const dw::platform::FileIo io = faulty.io();
    faulty.fdatasync = [](int fd) {
        struct stat status {};
        ::fstat(fd, &status);
        if (status.st_size > 1000) {
            errno = EIO;
            return -1;
        }
        return ::fdatasync(fd);
    };
    // Every other calendar is skipped, so one is skipped right after each
    // batch is handed to the disk.
    const int failing = 300;
    const int count = 800;
    const auto nameOf = [](int i) { return "cal" + std::to_string(i) + ".dw2"; };
    const auto contentsOf = [&](int i) {
        if (i % 2 == 1)
            return needsAlign + std::string("\0", 1); // skipped: no calendar text
        return i == failing ? needsAlign + std::string(1000, ' ') : needsAlign;
    };
    std::vector<std::string> names, expected;
    for (int i = 0; i < count; ++i) {
        names.push_back(nameOf(i));
        writeFile(folder / nameOf(i), contentsOf(i));
        if (i < failing)
            expected.push_back((i % 2 == 1 ? "skipped " : "written ") + folder.prefix() + nameOf(i));
    }
    Recorder recorder;
    ConversionOptions options;
    options.io = &io;
    ConversionRun run(options, &recorder);
    try {
        run.convert(folder.prefix(), selected(names));
        ADD_FAILURE() << "the failed flush did not stop the run";
    } catch (const ConversionError& error) {
        EXPECT_EQ(error.path(), folder.prefix() + nameOf(failing));
    }
    EXPECT_EQ(recorder.order, expected);
    for (int i = failing; i < count; ++i)
        ASSERT_EQ(readFile(folder / nameOf(i)), contentsOf(i)) << nameOf(i) << " was touched after the failure";
    EXPECT_EQ(readFile(folder / nameOf(failing - 2)), aligned);
    EXPECT_EQ(hiddenNames(folder.path()), "");
}

TEST(WritingInBatches, AStopWhileABatchIsPutInPlaceReportsEveryCalendarItWrote)
{
    // Asked to stop once a first batch is being put in place and a second is
    // being gathered: the first is finished and reported, the second dropped.
    struct StopLater : Recorder {
        int asked = 0;
        bool stopRequested() override { return ++asked > 200; }
    };
    TempFolder folder;
    std::vector<std::string> names;
    for (int i = 0; i < 300; ++i) {
        names.push_back("cal" + std::to_string(i) + ".dw2");
        writeFile(folder / names.back(), needsAlign);
    }
    StopLater recorder;
    ConversionRun run({}, &recorder);
    EXPECT_THROW(run.convert(folder.prefix(), selected(names)), dw::convert::ConversionInterrupted);
    std::vector<std::string> converted;
    for (const std::string& name : names)
        if (readFile(folder / name) == aligned)
            converted.push_back(folder.prefix() + name);
    EXPECT_FALSE(converted.empty());
    EXPECT_EQ(recorder.written, converted) << "a calendar was written but not reported, or the reverse";
    EXPECT_EQ(run.filesWritten(), std::int32_t(converted.size()));
    EXPECT_EQ(hiddenNames(folder.path()), "");
}

TEST_F(Writing, AKilledRunLeavesNothingBesideTheCalendar)
{
    // Killed while its new file is flushed: an unnamed file vanishes with it.
    faulty.fdatasync = [](int) { return ::kill(::getpid(), SIGKILL); };
    EXPECT_EQ(inChild([&] { return convert({"a.dw2"}); }), 128 + SIGKILL);
    EXPECT_EQ(readFile(folder / "a.dw2"), needsAlign);
    EXPECT_EQ(hiddenNames(folder.path()), "");
}

TEST_F(Writing, SymbolicLinkStaysALinkAndItsTargetGetsTheContents)
{
    fs::create_directory(folder / "elsewhere");
    fs::rename(folder / "a.dw2", folder / "elsewhere" / "real.dw2");
    fs::create_symlink("elsewhere/real.dw2", folder / "a.dw2");
    EXPECT_EQ(convert({"a.dw2"}), 1);
    EXPECT_EQ(fs::read_symlink(folder / "a.dw2"), "elsewhere/real.dw2");
    EXPECT_EQ(readFile(folder / "elsewhere" / "real.dw2"), aligned);
    EXPECT_EQ(listNames(folder / "elsewhere"), "real.dw2;");
}

TEST_F(Writing, HardLinksAllSeeTheNewContentsAndARewriteThatFailsIsUndone)
{
    fs::create_hard_link(folder / "a.dw2", folder / "other-name.dw2");
    EXPECT_EQ(convert({"a.dw2"}), 1);
    EXPECT_EQ(readFile(folder / "other-name.dw2"), aligned);
    EXPECT_EQ(fs::hard_link_count(folder / "a.dw2"), 2u);

    fs::create_hard_link(folder / "b.dw2", folder / "b-too.dw2");
    faulty.pwriteCalls = 0;
    // Writes: the new contents, the backup copy, then the rewrite in place,
    // which fails part-way.
    faulty.pwrite = [this](int fd, const void* data, std::size_t size, off_t offset) -> ssize_t {
        if (faulty.pwriteCalls == 3) {
            (void)::pwrite(fd, "XXXX", 4, offset);
            errno = EIO;
            return -1;
        }
        return ::pwrite(fd, data, size, offset);
    };
    EXPECT_EQ(errorOf({"b.dw2"}), "Stream write error");
    EXPECT_EQ(readFile(folder / "b-too.dw2"), needsAlign);
    EXPECT_EQ(hiddenNames(folder.path()), "") << "the backup copy was left behind";
}

TEST_F(Writing, ReadOnlyImmutableAndAppendOnlyCalendarsCannotBeCreated)
{
    fs::permissions(folder / "a.dw2", fs::perms(0444));
    EXPECT_EQ(errorOf({"a.dw2"}), "Cannot create file " + folder.prefix() + "a.dw2");
    EXPECT_EQ(readFile(folder / "a.dw2"), needsAlign);
    for (int flag : {FS_IMMUTABLE_FL, FS_APPEND_FL}) {
        const std::string path = (folder / "b.dw2").string();
        const int fd = ::open(path.c_str(), O_RDONLY);
        int flags = flag;
        const bool set = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        if (!set) {
            ::close(fd);
            GTEST_SKIP() << "no immutable or append-only files here (not root, or not ext4)";
        }
        const std::string error = errorOf({"b.dw2", "c.dw2"});
        flags = 0;
        ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        ::close(fd);
        EXPECT_EQ(error, "Cannot create file " + path);
        EXPECT_EQ(readFile(folder / "b.dw2"), needsAlign);
        EXPECT_EQ(readFile(folder / "c.dw2"), needsAlign);
    }
}

TEST_F(Writing, UnwritableFolderIsCannotCreate)
{
    if (runningAsRoot())
        GTEST_SKIP() << "the superuser writes into any folder";
    fs::permissions(folder.path(), fs::perms(0555));
    const std::string error = errorOf({"a.dw2"});
    fs::permissions(folder.path(), fs::perms(0755));
    EXPECT_EQ(error, "Cannot create file " + folder.prefix() + "a.dw2");
    EXPECT_EQ(readFile(folder / "a.dw2"), needsAlign);
}

TEST_F(Writing, LongestNameAndAFolderPathLongerThanAnyPathMayBe)
{
    const std::string longest = std::string(251, 'n') + ".dw2";
    writeFile(folder / longest, needsAlign);
    fs::create_hard_link(folder / longest, folder / "second-name.dw2");
    EXPECT_EQ(convert({longest}), 1); // through a backup copy, whose name is cut short
    fs::remove(folder / "second-name.dw2");
    writeFile(folder / longest, needsAlign);
    EXPECT_EQ(convert({longest}), 1);
    EXPECT_EQ(readFile(folder / longest), aligned);

    // 300 folders of 20 bytes: deeper than the 4096 bytes a path may have.
    const std::string step(19, 'd');
    int fd = ::open(folder.path().c_str(), O_RDONLY | O_DIRECTORY);
    std::string deep = folder.prefix();
    for (int i = 0; i < 300; ++i) {
        ASSERT_EQ(::mkdirat(fd, step.c_str(), 0755), 0);
        const int next = ::openat(fd, step.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
        deep += step + "/";
    }
    const int file = ::openat(fd, "deep.dw2", O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(::write(file, needsAlign.data(), needsAlign.size()), ssize_t(needsAlign.size()));
    ::close(file);
    ConversionRun run({}, &recorder);
    EXPECT_EQ(run.convert(deep, selected({"deep.dw2"})), 1);
    std::string back(aligned.size(), '\0');
    const int check = ::openat(fd, "deep.dw2", O_RDONLY);
    EXPECT_EQ(::read(check, back.data(), back.size()), ssize_t(aligned.size()));
    EXPECT_EQ(back, aligned);
    ::close(check);
    ::close(fd);
    ASSERT_EQ(inChild([&] { return ::execlp("rm", "rm", "-rf", (folder / step).c_str(), nullptr); }), 0);
}

TEST(WritingOnAFullDisk, RealFullFileSystemKeepsTheOriginal)
{
    TempFolder folder;
    if (::mount("dwtest", folder.path().c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small file system here";
    struct Unmount {
        const fs::path& at;
        ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
    } unmount{folder.path()};
    std::string big = "<datewright>\n<script>\n<monthcal>\n";
    while (big.size() < 40 * 1024)
        big += "<events>\n<eventcolor>1\n</events>\n";
    writeFile(folder / "big.dw2", big);
    ConversionRun run;
    try {
        run.convert(folder.prefix(), selected({"big.dw2"}));
        FAIL() << "a calendar larger than the free space was written";
    } catch (const ConversionError& error) {
        EXPECT_EQ(std::string(error.what()), "Stream write error");
        EXPECT_EQ(error.systemError(), ENOSPC);
    }
    EXPECT_EQ(readFile(folder / "big.dw2"), big);
    EXPECT_EQ(listNames(folder.path()), "big.dw2;");
}

} // namespace
