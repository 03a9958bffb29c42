#pragma once
// Turns the paths given on the command line into conversion runs: a file is
// its own one-entry list, a folder lists its calendars (and, when asked, those
// of its subfolders) in the order the file system returns them.

#include "app/convert/ConversionRun.h"

#include <functional>
#include <string>

namespace dw::cli {

struct WalkOptions {
    bool recursive = false;
};

class CalendarFolderWalk {
public:
    using Warn = std::function<void(const std::string& path, const std::string& reason)>;

    CalendarFolderWalk(convert::ConversionRun& run, WalkOptions options, Warn warn);

    // Converts what `path` stands for; throws what the run throws.
    void convertPath(const std::string& path);

private:
    void convertFolder(const std::string& folder);

    convert::ConversionRun& run_;
    WalkOptions options_;
    Warn warn_;
};

// True for names ending in ".dw2", in any case.
bool isCalendarName(const std::string& name);

} // namespace dw::cli
