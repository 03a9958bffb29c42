// SPDX-License-Identifier: MIT
// Another program at work on a calendar while it is converted: nothing it
// writes is lost, the calendar is left as that program made it, and the run
// goes on with the next one.

#include "app/convert/ConversionRun.h"
#include "tests/app/convert/RunSupport.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace dw::test;
using dw::convert::ConversionOptions;
using dw::convert::ConversionRun;

namespace {

const std::string changedMeanwhile = "changed by another program while it was converted; left as it was";
const std::string appended = "<!-- appended by another program -->\r\n";

class ConcurrentChanges : public ThreeCalendars {
protected:
    std::int32_t convertAll() { return convert({"a.dw2", "b.dw2", "c.dw2"}); }
    // Makes the change when the run writes for the `call`th time.
    void changeOnWrite(int call, std::function<void()> change)
    {
        faulty.pwrite = [this, call, change](int fd, const void* data, std::size_t size, off_t offset) {
            if (faulty.pwriteCalls == call)
                change();
            return ::pwrite(fd, data, size, offset);
        };
    }
    void expectOnlyBSkipped()
    {
        EXPECT_EQ(recorder.written, (std::vector<std::string>{folder.prefix() + "a.dw2", folder.prefix() + "c.dw2"}));
        EXPECT_EQ(recorder.skipped, std::vector<std::string>{folder.prefix() + "b.dw2"});
        EXPECT_EQ(readFile(folder / "c.dw2"), aligned) << "the run did not go on";
        EXPECT_EQ(hiddenNames(folder.path()), "");
    }
};

TEST_F(ConcurrentChanges, ACalendarSavedOverOrTouchedMeanwhileIsSkippedAndTheRunGoesOn)
{
    // An editor saves b.dw2 the usual way: a new file renamed over it.
    changeOnWrite(2, [this] {
        writeFile(folder / "saved", "their version\r\n");
        fs::rename(folder / "saved", folder / "b.dw2");
    });
    EXPECT_EQ(convertAll(), 2);
    EXPECT_EQ(readFile(folder / "b.dw2"), "their version\r\n");
    EXPECT_EQ(recorder.reasons, std::vector<std::string>{changedMeanwhile});
    expectOnlyBSkipped();
}

TEST_F(ConcurrentChanges, ACalendarChangedInPlaceMeanwhileIsSkipped)
{
    changeOnWrite(2, [this] {
        const struct timespec later[2] = {{UTIME_OMIT, 0}, {2000000000, 0}};
        ::utimensat(AT_FDCWD, (folder / "b.dw2").c_str(), later, 0);
    });
    EXPECT_EQ(convertAll(), 2);
    EXPECT_EQ(readFile(folder / "b.dw2"), needsAlign);
    expectOnlyBSkipped();
}

TEST_F(ConcurrentChanges, TwoRunsOnOneFolderConvertEachCalendarOnceAndNeitherStops)
{
    // While the first run writes a.dw2's new contents, a second run converts
    // all three calendars from start to end.
    Recorder second;
    changeOnWrite(1, [&] {
        ConversionRun run({}, &second);
        run.convert(folder.prefix(), selected({"a.dw2", "b.dw2", "c.dw2"}));
    });
    EXPECT_EQ(convertAll(), 0);
    EXPECT_EQ(second.written.size(), 3u);
    EXPECT_EQ(recorder.skipped, std::vector<std::string>{folder.prefix() + "a.dw2"});
    EXPECT_EQ(recorder.reasons, std::vector<std::string>{changedMeanwhile});
    for (const char* name : {"a.dw2", "b.dw2", "c.dw2"})
        EXPECT_EQ(readFile(folder / name), aligned) << name;
    EXPECT_EQ(hiddenNames(folder.path()), "");
}

TEST_F(ConcurrentChanges, ACalendarOpenForWritingElsewhereIsLeftAlone)
{
    const int writer = ::open((folder / "b.dw2").c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(writer, 0);
    EXPECT_EQ(convertAll(), 2);
    ::close(writer);
    EXPECT_EQ(readFile(folder / "b.dw2"), needsAlign);
    EXPECT_EQ(recorder.reasons, std::vector<std::string>{"open for writing in another program; left as it was"});
    expectOnlyBSkipped();
}

// A program that opens a calendar for appending when told to, then waits to
// be told to append. Its open waits while we hold a lease on the calendar.
class Appender {
public:
    explicit Appender(const fs::path& calendar)
    {
        if (::pipe(start_) != 0 || ::pipe(go_) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            struct pollfd started = {start_[0], POLLIN, 0};
            ::poll(&started, 1, -1); // waits in poll(), so its open is told apart below
            const int fd = ::open(calendar.c_str(), O_WRONLY | O_APPEND);
            char go;
            (void)::read(go_[0], &go, 1);
            const bool wrote = ::write(fd, appended.data(), appended.size()) == ssize_t(appended.size());
            ::_exit(fd >= 0 && wrote ? 0 : 1);
        }
    }
    Appender(const Appender&) = delete;
    Appender& operator=(const Appender&) = delete;
    ~Appender()
    {
        if (pid_ > 0) { // a check failed before it was let go
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        for (int fd : {start_[0], start_[1], go_[0], go_[1]})
            ::close(fd);
    }
    // Has the appender open the calendar, and waits until its open either
    // went through or is held up by our lease.
    void openNow()
    {
        (void)::write(start_[1], "s", 1);
        const std::string syscall = "/proc/" + std::to_string(pid_) + "/syscall";
        for (int i = 0; i < 30000; ++i) {
            std::ifstream in(syscall);
            std::string number;
            in >> number;
            if (number == "257" || number == "2" || number == "0") // openat, open: held up; read: opened
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    // Lets it append; answers whether it did.
    bool appendNow()
    {
        (void)::write(go_[1], "g", 1);
        int status = 0;
        const bool reaped = ::waitpid(pid_, &status, 0) == pid_;
        pid_ = -1;
        return reaped && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

private:
    int start_[2] = {-1, -1};
    int go_[2] = {-1, -1};
    pid_t pid_ = -1;
};

TEST_F(ConcurrentChanges, LinesAppendedWhileACalendarIsReplacedAreNeverLost)
{
    Appender appender(folder / "b.dw2");
    changeOnWrite(2, [&] { appender.openNow(); });
    EXPECT_EQ(convertAll(), 2);
    ASSERT_TRUE(appender.appendNow());
    EXPECT_EQ(readFile(folder / "b.dw2"), needsAlign + appended) << "the appended lines went to a replaced file";
    expectOnlyBSkipped();
}

TEST_F(ConcurrentChanges, LinesAppendedWhileACalendarIsRewrittenInPlaceAreNeverLost)
{
    fs::create_hard_link(folder / "b.dw2", folder / "b-too.dw2");
    Appender appender(folder / "b.dw2");
    // Writes: a.dw2's new file, b.dw2's new contents, its backup copy, then
    // the rewrite in place, during which the appender comes.
    changeOnWrite(4, [&] { appender.openNow(); });
    EXPECT_EQ(convertAll(), 2);
    ASSERT_TRUE(appender.appendNow());
    EXPECT_EQ(readFile(folder / "b-too.dw2"), needsAlign + appended);
    expectOnlyBSkipped();
}

} // namespace
