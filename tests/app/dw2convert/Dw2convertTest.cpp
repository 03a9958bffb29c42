// dw2convert as a user or a script runs it: its output and exit status.

#include "tests/support/TempFolder.h"

#include <QProcess>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <sys/stat.h>

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
    EXPECT_EQ(result.err, "Cannot create file " + folder.prefix() + "2.dw2.\n");
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
