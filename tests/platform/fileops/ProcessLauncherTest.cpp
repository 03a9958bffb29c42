// SPDX-License-Identifier: MIT
#include "platform/fileops/ProcessLauncher.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

using dw::platform::launchDetached;

namespace {

bool appearsWithin(const std::string& path, std::chrono::seconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (std::filesystem::exists(path))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// The children of this process (of every thread), running or ended but not
// yet waited for.
int childProcesses()
{
    int count = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream children(task.path() / "children");
        pid_t child = 0;
        while (children >> child)
            ++count;
    }
    return count;
}

} // namespace

TEST(ProcessLauncher, ArgumentsReachTheProgramWithTheirExactBytes)
{
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    // Shell syntax in a name stays part of the name (a shell would make
    // "injected" in the working folder).
    const std::string odd = folder + "/odd\xff\nname;$(touch injected)";
    ASSERT_TRUE(launchDetached({"touch", odd}));
    EXPECT_TRUE(appearsWithin(odd, std::chrono::seconds(10)));
    EXPECT_FALSE(std::filesystem::exists("injected"));
    std::filesystem::remove(odd); // not UTF-8: QTemporaryDir cannot remove it
}

TEST(ProcessLauncher, ProgramsThatCannotStartAreReported)
{
    EXPECT_FALSE(launchDetached({"/nonexistent/program", "x"}));
    EXPECT_FALSE(launchDetached({"no-such-program-anywhere-4711"}));
    EXPECT_FALSE(launchDetached({"/dev/null"})); // no permission to run it
    EXPECT_FALSE(launchDetached({}));
    EXPECT_FALSE(launchDetached({""}));
}

TEST(ProcessLauncher, AProgramThatEndedIsNotLeftAsAZombie)
{
    ASSERT_TRUE(launchDetached({"true"}));
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (childProcesses() != 0 && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(childProcesses(), 0) << "an ended program was never waited for";
}

// With room for one more process only, the launch is reported started
// exactly when the program really runs.
TEST(ProcessLauncher, AStartReportedIsAStartMadeWhenProcessesRunShort)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to run the launch as a user of its own (the limit does not bind root)";
    QTemporaryDir dir;
    std::filesystem::permissions(dir.path().toStdString(), std::filesystem::perms::all);
    const std::string marker = dir.path().toStdString() + "/started";
    QProcess launch;
    // Under the limit the leak checker of a sanitized build cannot start the
    // thread it needs at exit.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    launch.setProcessEnvironment(environment);
    launch.start(QStringLiteral("setpriv"), {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                             QStringLiteral("--clear-groups"), QStringLiteral(DW_LAUNCH_HELPER),
                                             QStringLiteral("touch"), QString::fromStdString(marker)});
    ASSERT_TRUE(launch.waitForFinished(60000));
    const int status = launch.exitCode();
    ASSERT_NE(status, 2) << "the helper could not set the limit: " << launch.readAllStandardError().toStdString();
    if (status == 0)
        EXPECT_TRUE(appearsWithin(marker, std::chrono::seconds(10))) << "reported started, but never ran";
    else
        EXPECT_EQ(status, 3);
}
