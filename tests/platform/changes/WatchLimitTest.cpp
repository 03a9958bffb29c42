// SPDX-License-Identifier: MIT
// Which kernel limit the watch-limit notice quotes, and the notice itself
// when the limit of a user namespace is reached for real.
#include "platform/changes/LiveUpdateNotice.h"
#include "platform/changes/filewatch/FolderWatcher.h"
#include "platform/changes/filewatch/WatchNotices.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace dw::platform {
namespace {

namespace fs = std::filesystem;

constexpr const char* kInsideUserNamespace = "DW_TEST_INSIDE_USER_NAMESPACE";

class WatchLimitTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(temp_.isValid()); }

    std::string file(const std::string& name, const std::string& content)
    {
        const std::string path = temp_.path().toStdString() + "/" + name;
        std::ofstream(path) << content;
        return path;
    }

    QTemporaryDir temp_;
};

TEST_F(WatchLimitTest, TheLowerOfTheNamespacesAndTheMachinesLimitIsToldWithItsSetting)
{
    const std::string machine = file("machine", "8192\n");
    // A user namespace starts without a limit of its own (the largest int).
    const InotifyLimit unlimited = watchLimit(file("fresh-namespace", "2147483647\n"), machine);
    EXPECT_EQ(unlimited.value, 8192);
    EXPECT_EQ(unlimited.setting, "fs.inotify.max_user_watches");

    const InotifyLimit lowered = watchLimit(file("lowered-namespace", "100\n"), machine);
    EXPECT_EQ(lowered.value, 100);
    EXPECT_EQ(lowered.setting, "user.max_inotify_watches");
    const std::string notice = watchLimitNotice(lowered);
    EXPECT_NE(notice.find("limit of 100 watched folders"), std::string::npos) << notice;
    EXPECT_NE(notice.find("sysctl user.max_inotify_watches="), std::string::npos) << notice;

    // A kernel without namespace limits, and one that tells nothing.
    EXPECT_EQ(watchLimit(temp_.path().toStdString() + "/missing", machine).value, 8192);
    const InotifyLimit unknown = watchLimit(temp_.path().toStdString() + "/missing", "/nonexistent");
    EXPECT_EQ(unknown.value, 0);
    EXPECT_EQ(watchLimitNotice(unknown).find("limit of  "), std::string::npos);
    EXPECT_EQ(instanceLimit(file("instances-ns", "16\n"), file("instances", "128\n")).setting,
              "user.max_inotify_instances");
}

// Runs inside a user namespace (started by the test below): lowers the
// namespace's limit, reaches it, and prints the notice.
TEST_F(WatchLimitTest, ReachedLimitInsideAUserNamespaceQuotesTheNamespacesLimit)
{
    if (std::getenv(kInsideUserNamespace) != nullptr) {
        std::ofstream("/proc/sys/user/max_inotify_watches") << "3\n";
        long lowered = 0;
        std::ifstream("/proc/sys/user/max_inotify_watches") >> lowered;
        ASSERT_EQ(lowered, 3) << "could not lower the namespace's limit";
        ClearLiveUpdateNotices();
        FolderWatcher watcher([](const std::vector<PathChange>&) {});
        for (int i = 0; i < 5; ++i) {
            fs::create_directory(temp_.path().toStdString() + "/f" + std::to_string(i));
            watcher.watchFolder(temp_.path().toStdString() + "/f" + std::to_string(i));
        }
        std::printf("notice: %s\n", LiveUpdateNotice().c_str());
        return;
    }
    const QString unshare = QStandardPaths::findExecutable("unshare");
    if (unshare.isEmpty())
        GTEST_SKIP() << "needs unshare (util-linux)";
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    QProcess inner;
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert(kInsideUserNamespace, "1");
    inner.setProcessEnvironment(environment);
    inner.start(unshare, {"--user", "--map-root-user", QString::fromStdString(fs::read_symlink("/proc/self/exe")),
                          QString("--gtest_filter=%1.%2").arg(test->test_suite_name(), test->name())});
    ASSERT_TRUE(inner.waitForFinished(30000));
    const std::string output = inner.readAllStandardOutput().toStdString();
    if (output.find("notice: ") == std::string::npos)
        GTEST_SKIP() << "user namespaces are not available here: " << inner.readAllStandardError().toStdString();
    EXPECT_EQ(inner.exitCode(), 0) << output;
    EXPECT_NE(output.find("the system's limit of 3 watched folders"), std::string::npos) << output;
    EXPECT_NE(output.find("sysctl user.max_inotify_watches="), std::string::npos) << output;
}

} // namespace
} // namespace dw::platform
