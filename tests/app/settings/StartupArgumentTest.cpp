// SPDX-License-Identifier: MIT
// datewright-converter [FOLDER | FILE.dw2], as a file manager's "Open With"
// or a user at a terminal gives it.

#include "app/settings/StartupArgument.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using dw::app::parseStartupArgument;
using dw::app::StartupArgument;
using Kind = StartupArgument::Kind;

namespace {

class StartupArgumentParsing : public ::testing::Test {
protected:
    dw::test::TempFolder work;
    std::string root = work.path().string();
    // Names as given are kept, links included, unless ".." asks the file system.
    std::string linked = root + "/linked";
    void SetUp() override
    {
        std::filesystem::create_directories(work / "My Cal, \xC3\xA5r/sub");
        dw::test::writeFile(work / "My Cal, \xC3\xA5r/Work.DW2", "");
        std::filesystem::create_directory_symlink(work / "My Cal, \xC3\xA5r", linked);
    }
    // The argument parsed, then looked up on the disk as the window does.
    StartupArgument parse(std::vector<std::string> arguments)
    {
        const StartupArgument parsed = parseStartupArgument(arguments, root);
        return parsed.kind == Kind::Path ? dw::app::examineStartupPath(parsed.path) : parsed;
    }
};

TEST_F(StartupArgumentParsing, AFolderOpensThereAndAFileOpensItsFolderWithItSelected)
{
    EXPECT_EQ(parse({}).kind, Kind::None);

    StartupArgument folder = parse({root + "/My Cal, \xC3\xA5r/"});
    EXPECT_EQ(folder.kind, Kind::Folder);
    EXPECT_EQ(folder.folder, root + "/My Cal, \xC3\xA5r");

    folder = parse({"./My Cal, \xC3\xA5r//sub/."});
    EXPECT_EQ(folder.kind, Kind::Folder);
    EXPECT_EQ(folder.folder, root + "/My Cal, \xC3\xA5r/sub");

    const StartupArgument file = parse({"My Cal, \xC3\xA5r/sub/../Work.DW2"});
    EXPECT_EQ(file.kind, Kind::File);
    EXPECT_EQ(file.folder, std::filesystem::canonical(work / "My Cal, \xC3\xA5r").string());
    EXPECT_EQ(file.fileName, "Work.DW2");

    EXPECT_EQ(parse({"linked/Work.DW2"}).folder, linked);
    EXPECT_EQ(dw::app::examineStartupPath(parseStartupArgument({"/"}, "/tmp").path).folder, "/");
    EXPECT_EQ(parse({"--", "-"}).kind, Kind::Invalid); // a file named "-" that is not there
}

TEST_F(StartupArgumentParsing, ParsingLooksAtNothingOnTheDisk)
{
    const StartupArgument missing = parseStartupArgument({"./gone//x.dw2"}, root);
    EXPECT_EQ(missing.kind, Kind::Path);
    EXPECT_EQ(missing.path, root + "/gone/x.dw2");
    EXPECT_EQ(parseStartupArgument({"/a/../b/"}, root).path, "/a/../b") << "\"..\" is the file system's to resolve";
}

TEST_F(StartupArgumentParsing, WrongCallsGetAClearMessage)
{
    const StartupArgument missing = parse({"gone.dw2"});
    EXPECT_EQ(missing.kind, Kind::Invalid);
    EXPECT_EQ(missing.message, "datewright-converter: cannot open " + root + "/gone.dw2: No such file or directory");

    ASSERT_EQ(::mkfifo((work / "pipe.dw2").c_str(), 0600), 0);
    EXPECT_NE(parse({"pipe.dw2"}).message.find("neither a folder nor a calendar file"), std::string::npos);

    for (const auto& arguments : std::vector<std::vector<std::string>>{{"a", "b"}, {"--bogus"}, {""}}) {
        const StartupArgument wrong = parse(arguments);
        EXPECT_EQ(wrong.kind, Kind::Invalid);
        EXPECT_NE(wrong.message.find("Usage: datewright-converter [FOLDER | FILE.dw2]"), std::string::npos);
    }
    EXPECT_EQ(parse({"--help"}).kind, Kind::Help);
}

} // namespace
