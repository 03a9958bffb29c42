// SPDX-License-Identifier: MIT
// Every calendar of the shared conversion cases, converted in one run, must
// end up holding exactly its expected bytes; untouched ones keep their time.

#include "app/convert/ConversionRun.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace fs = std::filesystem;
using dw::test::readFile;

namespace {

struct Case {
    std::string name;
    bool modified = false;
};

fs::path casesFolder()
{
    // The build says where the shared cases are; the environment may point elsewhere.
    const char* shared = std::getenv("DW_SHARED_DIR");
    return fs::path(shared ? shared : DW_SHARED_DIR) / "conversion-cases";
}

std::vector<Case> readIndex()
{
    std::ifstream index(casesFolder() / "index.tsv");
    std::vector<Case> cases;
    std::string line;
    std::getline(index, line); // column names
    while (std::getline(index, line)) {
        std::istringstream fields(line);
        Case item;
        std::string result;
        if (std::getline(fields, item.name, '\t') && std::getline(fields, result))
            cases.push_back({item.name, result == "modified"});
    }
    return cases;
}

fs::file_time_type modifiedAt(const fs::path& path)
{
    return fs::last_write_time(path);
}

TEST(ConversionCases, EveryCaseGivesItsExpectedBytes)
{
    const std::vector<Case> cases = readIndex();
    ASSERT_GE(cases.size(), 50u) << "conversion cases not found in " << casesFolder();
    dw::test::TempFolder folder;
    std::vector<dw::convert::CalendarEntry> entries;
    std::map<std::string, fs::file_time_type> timeBefore;
    int expectedWrites = 0;
    for (const Case& c : cases) {
        const fs::path copy = folder / (c.name + ".dw2");
        fs::copy_file(casesFolder() / (c.name + ".dw2"), copy);
        fs::permissions(copy, fs::perms::owner_read | fs::perms::owner_write);
        // Back-date every copy so that a rewrite cannot hide inside the clock's resolution.
        fs::last_write_time(copy, fs::last_write_time(copy) - std::chrono::hours(24 * 365));
        timeBefore[c.name] = modifiedAt(copy);
        entries.push_back({c.name + ".dw2", true});
        expectedWrites += c.modified ? 1 : 0;
    }
    EXPECT_EQ(dw::convert::convertSelectedCalendars(folder.prefix(), entries), expectedWrites);
    for (const Case& c : cases) {
        const fs::path copy = folder / (c.name + ".dw2");
        EXPECT_EQ(readFile(copy), readFile(casesFolder() / (c.name + ".expected"))) << c.name;
        if (!c.modified) {
            EXPECT_TRUE(modifiedAt(copy) == timeBefore[c.name]) << c.name << " was rewritten";
        }
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), std::ptrdiff_t(cases.size()))
        << "a temporary file was left behind: " << dw::test::listNames(folder.path());
}

} // namespace
