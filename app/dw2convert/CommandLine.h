// SPDX-License-Identifier: MIT
#pragma once
// The options of dw2convert, as a GNU tool takes them.

#include <string>
#include <vector>

namespace dw::cli {

struct CommandLine {
    bool recursive = false;
    bool dryRun = false;
    bool nullTerminated = false; // each path printed ends with a NUL byte, not a newline
    bool showHelp = false;
    bool showVersion = false;
    std::vector<std::string> paths;
    std::string error; // set when the words do not make a valid call
};

CommandLine parseCommandLine(const std::vector<std::string>& arguments);

std::string usageText();
std::string versionText();

} // namespace dw::cli
