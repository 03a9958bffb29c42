// SPDX-License-Identifier: MIT
#include "app/dw2convert/CommandLine.h"

#include "app/about/ProgramVersion.h"

namespace dw::cli {

namespace {

bool applyLongOption(const std::string& option, CommandLine& line)
{
    if (option == "--recursive") line.recursive = true;
    else if (option == "--dry-run") line.dryRun = true;
    else if (option == "--null") line.nullTerminated = true;
    else if (option == "--help") line.showHelp = true;
    else if (option == "--version") line.showVersion = true;
    else return false;
    return true;
}

bool applyShortOptions(const std::string& cluster, CommandLine& line, char& unknown)
{
    for (std::size_t i = 1; i < cluster.size(); ++i) {
        switch (cluster[i]) {
        case 'r': line.recursive = true; break;
        case 'n': line.dryRun = true; break;
        case '0': line.nullTerminated = true; break;
        case 'h': line.showHelp = true; break;
        default: unknown = cluster[i]; return false;
        }
    }
    return true;
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine line;
    bool optionsEnded = false;
    for (const std::string& word : arguments) {
        if (optionsEnded || word == "-" || word.empty() || word[0] != '-') {
            line.paths.push_back(word);
        } else if (word == "--") {
            optionsEnded = true;
        } else if (word.rfind("--", 0) == 0) {
            if (!applyLongOption(word, line)) {
                line.error = "unrecognized option '" + word + "'";
                return line;
            }
        } else {
            char unknown = 0;
            if (!applyShortOptions(word, line, unknown)) {
                line.error = std::string("invalid option -- '") + unknown + "'";
                return line;
            }
        }
    }
    if (line.paths.empty() && !line.showHelp && !line.showVersion)
        line.error = "missing calendar file or folder operand";
    return line;
}

std::string usageText()
{
    return "Usage: dw2convert [OPTION]... PATH...\n"
           "Bring Datewright calendar files (*.dw2) up to the 2.20 layout, in place.\n"
           "\n"
           "A PATH is a calendar file or a folder; a folder stands for its files whose\n"
           "name ends in \".dw2\" (any case). Each file written is printed on a line of\n"
           "its own, then \"Files modified: N\".\n"
           "\n"
           "  -r, --recursive  also convert the calendars of every subfolder\n"
           "  -n, --dry-run    read everything, print the files that would be written,\n"
           "                   write nothing\n"
           "  -0, --null       end each path printed with a NUL byte instead of a\n"
           "                   newline, as find -print0 does, so that any name can be\n"
           "                   told apart; the final count then goes to standard error\n"
           "  -h, --help       display this help and exit\n"
           "      --version    output version information and exit\n"
           "\n"
           "Exit status:\n"
           " 0  all done\n"
           " 1  a file could not be written; the run stopped there\n"
           " 2  usage error\n"
           " 3  the run finished, but at least one file was skipped with a warning\n"
           " 128+N  stopped by signal N between two files\n";
}

std::string versionText()
{
    return dw::about::versionText("dw2convert");
}

} // namespace dw::cli
