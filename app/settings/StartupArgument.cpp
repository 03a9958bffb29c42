// SPDX-License-Identifier: MIT
#include "app/settings/StartupArgument.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace dw::app {

namespace {

StartupArgument invalid(const std::string& message)
{
    return {StartupArgument::Kind::Invalid, {}, {}, message + "\n" + startupUsageText(), {}};
}

// The path made absolute, with "." steps, doubled and trailing slashes
// dropped. ".." steps are left to the file system (examineStartupPath): only it
// knows where they lead once links are involved.
std::string absolutePath(const std::string& path, const std::string& workingFolder)
{
    const std::string joined = path.starts_with('/') ? path : workingFolder + "/" + path;
    std::string clean;
    std::size_t start = 0;
    while (start <= joined.size()) {
        std::size_t end = joined.find('/', start);
        if (end == std::string::npos)
            end = joined.size();
        const std::string step = joined.substr(start, end - start);
        if (!step.empty() && step != ".")
            clean += "/" + step;
        start = end + 1;
    }
    return clean.empty() ? "/" : clean;
}

StartupArgument cannotOpen(const std::string& path, const std::string& reason)
{
    return {StartupArgument::Kind::Invalid, {}, {}, "datewright-converter: cannot open " + path + ": " + reason, {}};
}

} // namespace

std::string startupUsageText()
{
    return "Usage: datewright-converter [FOLDER | FILE.dw2]\n"
           "Opens the converter at FOLDER, or at the folder of FILE.dw2 with that file\n"
           "selected; without an argument, at the default calendar folder.\n";
}

StartupArgument parseStartupArgument(const std::vector<std::string>& arguments,
                                     const std::string& workingFolder)
{
    std::vector<std::string> paths;
    bool optionsEnded = false;
    for (const auto& argument : arguments) {
        if (!optionsEnded && argument == "--")
            optionsEnded = true;
        else if (!optionsEnded && (argument == "-h" || argument == "--help"))
            return {StartupArgument::Kind::Help, {}, {}, startupUsageText(), {}};
        else if (!optionsEnded && argument.size() > 1 && argument.starts_with('-'))
            return invalid("datewright-converter: unknown option " + argument);
        else
            paths.push_back(argument);
    }
    if (paths.size() > 1)
        return invalid("datewright-converter: give one folder or one calendar file");
    if (paths.empty())
        return {};
    if (paths.front().empty())
        return invalid("datewright-converter: an empty path names no folder");
    return {StartupArgument::Kind::Path, {}, {}, {}, absolutePath(paths.front(), workingFolder)};
}

StartupArgument examineStartupPath(const std::string& given)
{
    std::string path = given;
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return cannotOpen(path, std::strerror(errno));
    // A path with ".." steps is taken as the file system resolves it; any
    // other keeps the names it was given, links included.
    if ((path + "/").find("/../") != std::string::npos) {
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved))
            path = resolved;
    }
    if (S_ISDIR(status.st_mode))
        return {StartupArgument::Kind::Folder, path, {}, {}, {}};
    if (!S_ISREG(status.st_mode))
        return cannotOpen(path, "neither a folder nor a calendar file");
    const auto slash = path.find_last_of('/');
    return {StartupArgument::Kind::File, slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1), {}, {}};
}

} // namespace dw::app
