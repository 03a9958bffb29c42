// SPDX-License-Identifier: MIT
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct ProbeRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        result.push_back(text.substr(at, end - at));
        if (end == std::string::npos)
            break;
        at = end + 1;
    }
    return result;
}

std::vector<std::string> fields(const std::string& line)
{
    std::vector<std::string> result;
    std::size_t at = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', at);
        result.push_back(line.substr(at, tab - at));
        if (tab == std::string::npos)
            return result;
        at = tab + 1;
    }
}

unsigned attributesOf(const std::string& line)
{
    return static_cast<unsigned>(std::stoul(fields(line).at(2), nullptr, 16));
}

// A user with a home of their own in a temporary folder.
class ShellProbeTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::string home;

    void SetUp() override
    {
        home = dir.path().toStdString() + "/home";
        makeFolder("");
        makeFolder("/Desktop");
        makeFolder("/.config");
        std::ofstream(home + "/.config/user-dirs.dirs") << "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n";
    }

    void makeFolder(const std::string& relative) const { ::mkdir((home + relative).c_str(), 0755); }
    void makeFile(const std::string& relative) const { std::ofstream(home + relative) << "x"; }

    ProbeRun probe(const QStringList& arguments) const
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", QString::fromStdString(home));
        environment.insert("XDG_CONFIG_HOME", QString::fromStdString(home + "/.config"));
        environment.insert("XDG_DATA_HOME", QString::fromStdString(home + "/.local/share"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(SHELL_PROBE_PATH), arguments);
        process.waitForFinished(30000);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                process.readAllStandardOutput().toStdString(), process.readAllStandardError().toStdString()};
    }
};

constexpr unsigned kFolder = 0x20000000;
constexpr unsigned kFileSystem = 0x40000000;
constexpr unsigned kHidden = 0x00080000;
constexpr unsigned kLink = 0x00010000;
constexpr unsigned kHasSubfolder = 0x80000000;
constexpr unsigned kCanRename = 0x00000010;

} // namespace

TEST_F(ShellProbeTest, DesktopShowsHomeComputerNetworkTrashThenTheDesktopDirectory)
{
    makeFile("/Desktop/notes.dw2");
    makeFolder("/Desktop/Projects");
    const ProbeRun run = probe({"list", ""});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto out = lines(run.out);
    ASSERT_EQ(out.size(), 6u) << run.out;
    EXPECT_EQ(fields(out[0]), (std::vector<std::string>{"Home", home, "0xE0000000", "-"}));
    EXPECT_EQ(fields(out[1])[0], "Computer");
    EXPECT_EQ(fields(out[1])[1], "computer:///");
    EXPECT_EQ(fields(out[2])[1], "network:///");
    EXPECT_EQ(fields(out[3])[1], "trash:///");
    EXPECT_EQ(fields(out[4])[0], "Projects");
    EXPECT_EQ(fields(out[4])[1], home + "/Desktop/Projects");
    EXPECT_EQ(fields(out[5])[0], "notes.dw2");
    EXPECT_EQ(attributesOf(out[5]) & (kFolder | kFileSystem), kFileSystem);
}

TEST_F(ShellProbeTest, ListingAFolderShowsAttributesInNamespaceOrder)
{
    makeFolder("/Sub");
    makeFolder("/Sub/Inner");
    makeFile("/Cal10.dw2");
    makeFile("/Cal9.dw2");
    makeFile("/.hidden");
    ASSERT_EQ(::symlink((home + "/Sub").c_str(), (home + "/link").c_str()), 0);
    const ProbeRun run = probe({"list", QString::fromStdString(home)});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::vector<std::string> names;
    std::map<std::string, unsigned> attributes;
    for (const std::string& line : lines(run.out)) {
        names.push_back(fields(line)[0]);
        attributes[fields(line)[0]] = attributesOf(line);
        EXPECT_EQ(fields(line)[3], "-");
    }
    EXPECT_EQ(names, (std::vector<std::string>{".config", "Desktop", "link", "Sub", ".hidden", "Cal9.dw2",
                                               "Cal10.dw2"}));
    EXPECT_EQ(attributes["Sub"] & (kFolder | kFileSystem | kHasSubfolder | kHidden | kLink),
              kFolder | kFileSystem | kHasSubfolder);
    EXPECT_EQ(attributes["link"] & (kFolder | kLink), kFolder | kLink);
    EXPECT_EQ(attributes[".hidden"] & (kHidden | kFolder), kHidden);
    EXPECT_TRUE(attributes["Cal9.dw2"] & kCanRename);
}

TEST_F(ShellProbeTest, OddBytesAreEscapedInParsingNames)
{
    makeFile(std::string("/a\nb\\c"));
    const ProbeRun run = probe({"list", QString::fromStdString(home)});
    ASSERT_EQ(run.exitCode, 0);
    bool found = false;
    for (const std::string& line : lines(run.out)) {
        if (fields(line)[1] == home + "/a\\x0Ab\\x5Cc") {
            found = true;
            EXPECT_EQ(fields(line)[0], "a\\nb\\c"); // the newline as an escape
        }
    }
    EXPECT_TRUE(found) << run.out;
}

TEST_F(ShellProbeTest, ParseShowsTheIdListAndBothNames)
{
    makeFolder("/Calendars");
    const ProbeRun run = probe({"parse", QString::fromStdString(home + "/Calendars/")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto out = lines(run.out);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].substr(0, 9), "04004300 "); // Computer first
    EXPECT_EQ(out[0].substr(out[0].size() - 4), "0000");
    EXPECT_EQ(out[1], "Calendars");
    EXPECT_EQ(out[2], home + "/Calendars");

    const ProbeRun desktop = probe({"parse", ""});
    ASSERT_EQ(desktop.exitCode, 0);
    EXPECT_EQ(lines(desktop.out), (std::vector<std::string>{"0000", "Desktop", home + "/Desktop"}));
}

TEST_F(ShellProbeTest, PathsThatDoNotParseFailWithInvalidFolder)
{
    for (const char* path : {"/no/such/folder", "relative-nonsense", "trash:///nothing"}) {
        const ProbeRun list = probe({"list", path});
        EXPECT_EQ(list.exitCode, 1) << path;
        EXPECT_EQ(list.err, "Invalid folder\n");
        EXPECT_EQ(list.out, "");
        const ProbeRun parse = probe({"parse", path});
        EXPECT_EQ(parse.exitCode, 1);
        EXPECT_EQ(parse.err, "Invalid folder\n");
    }
}

TEST_F(ShellProbeTest, EveryFolderOfTheDesktopCanBeListedInTurn)
{
    const ProbeRun top = probe({"list", ""});
    ASSERT_EQ(top.exitCode, 0);
    for (const std::string& line : lines(top.out)) {
        const std::string parsing = fields(line)[1];
        const ProbeRun below = probe({"list", QString::fromStdString(parsing)});
        EXPECT_EQ(below.exitCode, 0) << parsing << ": " << below.err;
    }
    const ProbeRun computer = probe({"list", "computer:///"});
    bool root = false;
    for (const std::string& line : lines(computer.out)) {
        if (fields(line)[1] == "/") {
            root = true;
            EXPECT_EQ(fields(line)[3], "fixed");
            EXPECT_EQ(attributesOf(line) & (kFolder | kFileSystem), kFolder | kFileSystem);
        }
    }
    EXPECT_TRUE(root) << computer.out;
}

TEST_F(ShellProbeTest, UsageErrors)
{
    EXPECT_EQ(probe({}).exitCode, 2);
    EXPECT_EQ(probe({"frobnicate"}).exitCode, 2);
    EXPECT_EQ(probe({"list"}).exitCode, 2);
    const ProbeRun help = probe({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("list PATH"), std::string::npos);
    EXPECT_NE(help.out.find("parse PATH"), std::string::npos);
}

// An unreadable folder is not an empty one: the probe says why it could not
// list it; the tree still opens at it, but not through it. Run without
// privileges, since root reads any folder.
TEST_F(ShellProbeTest, AnUnreadableFolderPrintsTheReasonAndFails)
{
    makeFolder("/locked");
    makeFolder("/locked/inner");
    makeFile("/locked/secret.dw2");
    ::chmod(dir.path().toLocal8Bit().constData(), 0755);
    ::chmod((home + "/locked").c_str(), 0);
    if (::geteuid() == 0 && QStandardPaths::findExecutable("setpriv").isEmpty())
        GTEST_SKIP() << "setpriv is needed to drop root's privileges";
    struct Run {
        int exitCode;
        std::string out;
        std::string err;
    };
    const auto unprivileged = [](QStringList arguments) {
        if (::geteuid() == 0)
            arguments = QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", QStringLiteral(SHELL_PROBE_PATH)}
                + arguments;
        QProcess process;
        process.start(::geteuid() == 0 ? QStandardPaths::findExecutable("setpriv") : QStringLiteral(SHELL_PROBE_PATH),
                      arguments);
        process.waitForFinished(30000);
        return Run{process.exitCode(), process.readAllStandardOutput().toStdString(),
                   process.readAllStandardError().toStdString()};
    };
    const QString locked = QString::fromStdString(home + "/locked");
    const Run list = unprivileged({"list", locked});
    const Run tree = unprivileged({"tree", locked});
    const Run through = unprivileged({"tree", locked + "/inner"});
    ::chmod((home + "/locked").c_str(), 0755);

    EXPECT_EQ(list.exitCode, 1);
    EXPECT_EQ(list.out, "");
    EXPECT_NE(list.err.find("Permission denied"), std::string::npos);
    EXPECT_EQ(tree.exitCode, 0);
    EXPECT_NE(tree.out.find(". locked\t*\n"), std::string::npos) << tree.out;
    EXPECT_EQ(through.exitCode, 1);
    EXPECT_NE(through.err.find("Invalid folder"), std::string::npos);
}
