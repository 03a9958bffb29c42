// SPDX-License-Identifier: MIT
#pragma once
// Turns the paths given on the command line into conversions: a file is
// converted on its own, a folder stands for its calendars (and, when asked,
// those of its subfolders) in the order the file system returns them.
//
// Folders are reached from their parents' descriptors, never by a path
// string, so a tree deeper than any path may be long is walked like any
// other. Only a few folders are held open at a time: past that depth a parent
// is reached again through "..", and the walk checks it is the same folder.

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
    using StopRequested = std::function<bool()>;

    CalendarFolderWalk(convert::ConversionRun& run, WalkOptions options, Warn warn, StopRequested stopRequested);

    // Converts what `path` stands for; throws what the run throws, and
    // ConversionInterrupted when asked to stop, between two folders too.
    void convertPath(const std::string& path);

private:
    struct Frame;

    void convertTree(const std::shared_ptr<platform::Folder>& top, const std::string& shown);
    Frame enter(const std::shared_ptr<platform::Folder>& folder, const std::string& shown);
    bool descend(std::vector<Frame>& stack);
    void ascend(std::vector<Frame>& stack);
    void checkStop() const;

    convert::ConversionRun& run_;
    WalkOptions options_;
    Warn warn_;
    StopRequested stopRequested_;
};

// True for names ending in ".dw2", in any case.
bool isCalendarName(const std::string& name);

} // namespace dw::cli
