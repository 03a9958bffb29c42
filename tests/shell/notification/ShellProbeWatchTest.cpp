// SPDX-License-Identifier: MIT
// shell-probe watch, run as a program: every change made in the watched
// folder and its subfolders prints one line, in order, at once.
#include <QElapsedTimer>
#include <QThread>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

class ShellProbeWatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp_.isValid());
        root_ = fs::canonical(temp_.path().toStdString()).string();
        fs::create_directories(root_ + "/sub/deep");
    }

    void TearDown() override
    {
        probe_.kill();
        probe_.waitForFinished(2000);
    }

    void start(const QStringList& arguments)
    {
        probe_.start(QStringLiteral(DW_SHELL_PROBE), arguments);
        ASSERT_TRUE(probe_.waitForStarted(5000));
    }

    // Waits until the probe has printed `count` lines (or 5 seconds passed),
    // then a little longer for lines that should not come.
    QStringList readLines(int count)
    {
        QElapsedTimer clock;
        clock.start();
        while (output_.count('\n') < count && clock.elapsed() < 5000) {
            probe_.waitForReadyRead(100);
            output_ += QString::fromUtf8(probe_.readAllStandardOutput());
        }
        probe_.waitForReadyRead(300);
        output_ += QString::fromUtf8(probe_.readAllStandardOutput());
        QStringList lines = output_.split('\n');
        lines.removeLast(); // what follows the last newline
        return lines;
    }

    // The probe watches only after it has opened the folders; a first change
    // it reports proves that it is ready.
    void waitUntilWatching()
    {
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; output_.isEmpty() && clock.elapsed() < 5000; ++i) {
            fs::create_directory(root_ + "/ready" + std::to_string(i));
            probe_.waitForReadyRead(100);
            output_ += QString::fromUtf8(probe_.readAllStandardOutput());
        }
        ASSERT_FALSE(output_.isEmpty()) << probe_.readAllStandardError().toStdString();
        QThread::msleep(100);
        output_.clear();
        probe_.readAllStandardOutput();
    }

    QString line(const char* member, const std::string& item1, const std::string& item2 = "-") const
    {
        return QString::fromStdString(std::string(member) + "\t" + item1 + "\t" + item2);
    }

    QTemporaryDir temp_;
    std::string root_;
    QProcess probe_;
    QString output_;
};

TEST_F(ShellProbeWatchTest, PrintsEachChangeOnceInOrder)
{
    start({"watch", "--depth", "2", QString::fromStdString(root_)});
    waitUntilWatching();

    fs::create_directory(root_ + "/made");
    std::ofstream(root_ + "/sub/cal.dw2").close();
    fs::rename(root_ + "/sub/cal.dw2", root_ + "/moved.dw2");
    readLines(3); // more at once would be folded into folder updates
    fs::remove(root_ + "/moved.dw2");
    fs::rename(root_ + "/made", root_ + "/made2");
    fs::remove(root_ + "/made2");
    std::ofstream(root_ + "/sub/deep/unopened.dw2").close(); // below the levels opened: watched all the same

    const QStringList expected = {
        line("neFolderCreate", root_ + "/made"),
        line("neFileCreate", root_ + "/sub/cal.dw2"),
        line("neFileRename", root_ + "/sub/cal.dw2", root_ + "/moved.dw2"),
        line("neFileDelete", root_ + "/moved.dw2"),
        line("neFolderRename", root_ + "/made", root_ + "/made2"),
        line("neFolderDelete", root_ + "/made2"),
        line("neFileCreate", root_ + "/sub/deep/unopened.dw2"),
    };
    EXPECT_EQ(readLines(expected.size()), expected);
}

TEST_F(ShellProbeWatchTest, RefusesAPathThatDoesNotParse)
{
    start({"watch", QString::fromStdString(root_ + "/missing")});
    ASSERT_TRUE(probe_.waitForFinished(5000));
    EXPECT_EQ(probe_.exitCode(), 1);
    EXPECT_TRUE(probe_.readAllStandardError().contains("Invalid folder"));
}

TEST_F(ShellProbeWatchTest, RefusesBadArguments)
{
    start({"watch", "--depth", "zero", QString::fromStdString(root_)});
    ASSERT_TRUE(probe_.waitForFinished(5000));
    EXPECT_EQ(probe_.exitCode(), 2);
}

} // namespace
