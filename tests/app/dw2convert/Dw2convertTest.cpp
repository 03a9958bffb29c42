// SPDX-License-Identifier: MIT
// dw2convert as a user or a script runs it: its output and exit status.

#include "tests/support/TempFolder.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using dw::test::readFile;
using dw::test::writeFile;

namespace {

const std::string needsAlign = "<datewright>\n<script>\n<weekcal>\n<events>\n<eventcolor>1\n";
const std::string converted =
    "<datewright>\r\n<script>\r\n<weekcal>\r\n<events>\r\n        <EventAlign>Middle</EventAlign>\r\n<eventcolor>1\r\n";
const std::string plain = "<datewright>\n<script>\n";

struct Result {
    int status = -1;
    std::string out, err;
};

Result dw2convert(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(DW2CONVERT_PATH), arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput().toStdString(), process.readAllStandardError().toStdString()};
}

QString q(const fs::path& path) { return QString::fromStdString(path.string()); }

TEST(Dw2convert, ConvertsTheCalendarsOfAFolderAndCountsThem)
{
    dw::test::TempFolder folder;
    writeFile(folder / "a.dw2", needsAlign);
    writeFile(folder / "B.DW2", plain);
    writeFile(folder / "notes.txt", needsAlign);
    fs::create_directory(folder / "dir.dw2");
    fs::create_directory(folder / "sub");
    writeFile(folder / "sub" / "c.dw2", needsAlign);
    const Result result = dw2convert({q(folder.path())});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, folder.prefix() + "a.dw2\nFiles modified: 1\n");
    EXPECT_EQ(readFile(folder / "a.dw2"), converted);
    EXPECT_EQ(readFile(folder / "notes.txt"), needsAlign);
    EXPECT_EQ(readFile(folder / "sub" / "c.dw2"), needsAlign) << "descended without -r";
}

TEST(Dw2convert, RecursiveDescendsIntoSubfolders)
{
    dw::test::TempFolder folder;
    fs::create_directories(folder / "sub" / "deeper");
    writeFile(folder / "sub" / "deeper" / "c.dw2", needsAlign);
    fs::create_directory_symlink(".", folder / "sub" / "loop");
    const Result result = dw2convert({"-r", q(folder.path())});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, folder.prefix() + "sub/deeper/c.dw2\nFiles modified: 1\n");
    EXPECT_EQ(readFile(folder / "sub" / "deeper" / "c.dw2"), converted);
}

TEST(Dw2convert, DryRunPrintsButWritesNothing)
{
    dw::test::TempFolder folder;
    writeFile(folder / "a.dw2", needsAlign);
    const Result result = dw2convert({"--dry-run", q(folder / "a.dw2")});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, folder.prefix() + "a.dw2\nFiles that would be modified: 1\n");
    EXPECT_EQ(readFile(folder / "a.dw2"), needsAlign);
}

TEST(Dw2convert, SkippedFilesWarnAndTheRunGoesOnWithStatus3)
{
    dw::test::TempFolder folder;
    writeFile(folder / "nul.dw2", needsAlign + std::string("\0", 1));
    writeFile(folder / "good.dw2", needsAlign);
    const Result result = dw2convert({q(folder / "missing.dw2"), q(folder / "nul.dw2"), q(folder / "good.dw2")});
    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(result.out, folder.prefix() + "good.dw2\nFiles modified: 1\n");
    EXPECT_NE(result.err.find(folder.prefix() + "missing.dw2: cannot read"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(folder.prefix() + "nul.dw2: holds a NUL byte"), std::string::npos) << result.err;
}

TEST(Dw2convert, UnwritableFileStopsTheRunWithStatus1)
{
    dw::test::TempFolder folder;
    writeFile(folder / "1.dw2", needsAlign);
    writeFile(folder / "2.dw2", needsAlign);
    writeFile(folder / "3.dw2", needsAlign);
    fs::permissions(folder / "2.dw2", fs::perms(0444));
    const Result result = dw2convert({q(folder / "1.dw2"), q(folder / "2.dw2"), q(folder / "3.dw2")});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, folder.prefix() + "1.dw2\n");
    EXPECT_EQ(result.err, "Cannot create file " + folder.prefix() + "2.dw2.\ndw2convert: " + folder.prefix()
                              + "2.dw2: Permission denied\n");
    EXPECT_EQ(readFile(folder / "3.dw2"), needsAlign);
}

TEST(Dw2convert, NamesWithOddBytesKeepThem)
{
    dw::test::TempFolder folder;
    const std::string odd = "line\nbreak \xff\xfe.dw2";
    writeFile(folder / odd, needsAlign);
    const Result result = dw2convert({q(folder.path())});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(readFile(folder / odd), converted);
}

TEST(Dw2convert, NamedPipesAreNeverOpenedForReading)
{
    dw::test::TempFolder folder;
    ASSERT_EQ(::mkfifo((folder / "pipe.dw2").c_str(), 0644), 0);
    writeFile(folder / "a.dw2", needsAlign);
    const Result inFolder = dw2convert({q(folder.path())});
    EXPECT_EQ(inFolder.status, 0) << inFolder.err;
    EXPECT_EQ(inFolder.out, folder.prefix() + "a.dw2\nFiles modified: 1\n");
    const Result named = dw2convert({q(folder / "pipe.dw2")});
    EXPECT_EQ(named.status, 3);
    EXPECT_NE(named.err.find("pipe.dw2: cannot read: not a regular file"), std::string::npos) << named.err;
}

TEST(Dw2convert, DryRunCountsAFileWithSeveralNamesOnce)
{
    dw::test::TempFolder folder;
    writeFile(folder / "a.dw2", needsAlign);
    fs::create_hard_link(folder / "a.dw2", folder / "b.dw2");
    fs::create_symlink("a.dw2", folder / "c.dw2");
    const Result dry = dw2convert({"-n", q(folder / "a.dw2"), q(folder / "b.dw2"), q(folder / "c.dw2")});
    EXPECT_EQ(dry.out, folder.prefix() + "a.dw2\nFiles that would be modified: 1\n");
    const Result real = dw2convert({q(folder / "a.dw2"), q(folder / "b.dw2"), q(folder / "c.dw2")});
    EXPECT_EQ(real.out, folder.prefix() + "a.dw2\nFiles modified: 1\n");
}

TEST(Dw2convert, OutputThatCannotBeWrittenIsAnError)
{
    dw::test::TempFolder folder;
    writeFile(folder / "a.dw2", needsAlign);
    QProcess process;
    process.setStandardOutputFile(QStringLiteral("/dev/full"));
    process.start(QStringLiteral(DW2CONVERT_PATH), {q(folder.path())});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_NE(process.readAllStandardError().toStdString().find("write error"), std::string::npos);
}

TEST(Dw2convert, TerminatedRunStopsBetweenFilesAndLeavesNothingBehind)
{
    dw::test::TempFolder folder;
    const int count = 1500;
    for (int i = 0; i < count; ++i)
        writeFile(folder / ("c" + std::to_string(i) + ".dw2"), needsAlign);
    QProcess process;
    process.start(QStringLiteral(DW2CONVERT_PATH), {q(folder.path())});
    ASSERT_TRUE(process.waitForReadyRead(60000));
    process.terminate();
    ASSERT_TRUE(process.waitForFinished(60000));
    const std::string out = process.readAllStandardOutput().toStdString();
    int convertedFiles = 0;
    for (const auto& entry : fs::directory_iterator(folder.path())) {
        const std::string name = entry.path().filename().string();
        ASSERT_NE(name[0], '.') << "left behind: " << name;
        const std::string bytes = readFile(entry.path());
        ASSERT_TRUE(bytes == needsAlign || bytes == converted) << name << " is half written";
        convertedFiles += bytes == converted ? 1 : 0;
    }
    const auto printed = std::count(out.begin(), out.end(), '\n');
    if (process.exitCode() == 0) {
        EXPECT_EQ(convertedFiles, count); // the run was over before the signal came
    } else {
        EXPECT_EQ(process.exitCode(), 128 + SIGTERM);
        EXPECT_EQ(convertedFiles, printed) << "every file printed was written, and only those";
    }
}

TEST(Dw2convert, NullOptionEndsEachPathWithANulAndKeepsTheCountOffStandardOutput)
{
    dw::test::TempFolder folder;
    writeFile(folder / "line\nbreak.dw2", needsAlign);
    const Result result = dw2convert({"-0", q(folder / "line\nbreak.dw2")});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, folder.prefix() + "line\nbreak.dw2" + std::string(1, '\0'));
    EXPECT_EQ(result.err, "Files modified: 1\n");
    EXPECT_EQ(dw2convert({"--null", "--dry-run", q(folder.path())}).out, std::string());
    EXPECT_NE(dw2convert({"--help"}).out.find("-0, --null"), std::string::npos);
}

TEST(Dw2convert, ACalendarOpenForWritingElsewhereIsLeftWithAWarningAndStatus3)
{
    dw::test::TempFolder folder;
    writeFile(folder / "busy.dw2", needsAlign);
    writeFile(folder / "free.dw2", needsAlign);
    QFile busy(q(folder / "busy.dw2"));
    ASSERT_TRUE(busy.open(QIODevice::Append));
    const Result result = dw2convert({q(folder / "busy.dw2"), q(folder / "free.dw2")});
    busy.close();
    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(result.out, folder.prefix() + "free.dw2\nFiles modified: 1\n");
    EXPECT_EQ(result.err,
              "dw2convert: " + folder.prefix() + "busy.dw2: open for writing in another program; left as it was\n");
    EXPECT_EQ(readFile(folder / "busy.dw2"), needsAlign);
}

// Makes folders one inside the other, each name `step`, until their path is
// longer than `bytes`; answers the innermost as a path string.
std::string makeDeepFolders(const fs::path& top, const std::string& step, std::size_t bytes)
{
    fs::create_directory(top);
    std::string deep = top.string();
    int fd = ::open(deep.c_str(), O_RDONLY | O_DIRECTORY);
    while (deep.size() <= bytes) {
        ::mkdirat(fd, step.c_str(), 0755);
        const int next = ::openat(fd, step.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
        deep += "/" + step;
    }
    const int file = ::openat(fd, "c1400.dw2", O_WRONLY | O_CREAT, 0644);
    (void)::write(file, needsAlign.data(), needsAlign.size());
    ::close(file);
    ::close(fd);
    return deep;
}

void removeDeepFolders(const fs::path& top)
{
    QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), q(top)});
}

TEST(Dw2convert, CalendarsDeeperThanAnyPathMayBeAreConverted)
{
    dw::test::TempFolder folder;
    const std::string deep = makeDeepFolders(folder / "c", "c123456789", 4200);
    // (Paths this long are compared, not printed, when a check fails.)
    const Result dry = dw2convert({"-r", "-n", q(folder / "c")});
    EXPECT_EQ(dry.status, 0);
    EXPECT_TRUE(dry.out == deep + "/c1400.dw2\nFiles that would be modified: 1\n") << dry.out.size();
    const Result real = dw2convert({"-r", q(folder / "c")});
    EXPECT_EQ(real.status, 0);
    EXPECT_TRUE(real.out == deep + "/c1400.dw2\nFiles modified: 1\n") << real.out.size();
    const Result again = dw2convert({q(deep + "/c1400.dw2")});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out, "Files modified: 0\n") << "the calendar was not converted the first time";
    removeDeepFolders(folder / "c");
}

// strace can stop a program at an exact system call, which makes a signal or
// a kill arrive at a known point of a run.
bool straceWorks()
{
    return QProcess::execute(QStringLiteral("strace"), {QStringLiteral("-o"), QStringLiteral("/dev/null"),
                                                        QStringLiteral("true")}) == 0;
}

// Why strace cannot be used, for a skip's message.
std::string whyNoStrace()
{
    if (QStandardPaths::findExecutable(QStringLiteral("strace")).isEmpty())
        return "strace is missing (scripts/install-deps installs it)";
    return "strace cannot trace here (tracing is not allowed: a container without CAP_SYS_PTRACE, or a "
           "Yama ptrace scope that forbids it)";
}

Result underStrace(const QStringList& injection, const QStringList& arguments, const QString& outputFile = {})
{
    QProcess process;
    if (!outputFile.isEmpty())
        process.setStandardOutputFile(outputFile);
    process.start(QStringLiteral("strace"),
                  QStringList{QStringLiteral("-f"), QStringLiteral("-o"), QStringLiteral("/dev/null")} + injection
                      + QStringList{QStringLiteral(DW2CONVERT_PATH)} + arguments);
    process.waitForFinished(120000);
    return {process.exitCode(), process.readAllStandardOutput().toStdString(), process.readAllStandardError().toStdString()};
}

TEST(Dw2convert, ASignalDuringTheWalkOfFoldersStopsIt)
{
    if (!straceWorks())
        GTEST_SKIP() << whyNoStrace();
    dw::test::TempFolder folder;
    for (int i = 0; i < 200; ++i)
        fs::create_directories(folder / ("year" + std::to_string(i)) / "empty");
    // SIGTERM arrives as the walk lists its 50th folder; none holds a calendar.
    const Result result = underStrace({QStringLiteral("-e"), QStringLiteral("trace=getdents64"), QStringLiteral("-e"),
                                       QStringLiteral("inject=getdents64:signal=SIGTERM:when=50")},
                                      {QStringLiteral("-r"), q(folder.path())});
    EXPECT_EQ(result.status, 128 + SIGTERM) << result.err;
    EXPECT_NE(result.err.find("interrupted"), std::string::npos) << result.err;
}

TEST(Dw2convert, AKilledRunHasPrintedTheFilesItPutInPlace)
{
    if (!straceWorks())
        GTEST_SKIP() << whyNoStrace();
    dw::test::TempFolder folder;
    fs::create_directory(folder / "cal");
    for (int i = 0; i < 300; ++i)
        writeFile(folder / "cal" / ("c" + std::to_string(i) + ".dw2"), needsAlign);
    // Killed outright as it names its 150th new file, output going to a file.
    const Result result = underStrace({QStringLiteral("-e"), QStringLiteral("trace=linkat"), QStringLiteral("-e"),
                                       QStringLiteral("inject=linkat:signal=SIGKILL:when=150")},
                                      {q(folder / "cal")}, q(folder / "printed"));
    const std::string printed = readFile(folder / "printed");
    int convertedFiles = 0;
    for (const auto& entry : fs::directory_iterator(folder / "cal")) {
        ASSERT_NE(entry.path().filename().string()[0], '.') << "left behind: " << entry.path();
        if (readFile(entry.path()) == converted) {
            ++convertedFiles;
            continue;
        }
        EXPECT_EQ(printed.find(entry.path().string() + "\n"), std::string::npos) << "printed but not written";
    }
    const auto printedFiles = std::count(printed.begin(), printed.end(), '\n');
    EXPECT_EQ(convertedFiles, 149);
    EXPECT_GT(printedFiles, 0) << "a killed run had printed nothing";
    EXPECT_LE(convertedFiles - printedFiles, 128) << "more files were written than printed";
}

TEST(Dw2convert, UsageErrorsHelpAndVersion)
{
    EXPECT_EQ(dw2convert({}).status, 2);
    const Result unknown = dw2convert({"--frobnicate", "x"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("unrecognized option '--frobnicate'"), std::string::npos);
    EXPECT_EQ(dw2convert({"-x", "y"}).status, 2);
    const Result help = dw2convert({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: dw2convert", 0), 0u);
    const Result version = dw2convert({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_NE(version.out.find("2.20"), std::string::npos);
}

} // namespace
