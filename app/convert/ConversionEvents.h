// SPDX-License-Identifier: MIT
#pragma once
// What a conversion run tells the program that runs it: each calendar
// written or skipped, and the failure that stops it.

#include <stdexcept>
#include <string>
#include <utility>

namespace dw::convert {

// One entry of the file list: a bare file name and whether it is selected.
struct CalendarEntry {
    std::string name;
    bool selected = false;
};

// Stops a run. what() is the text the user is shown (without a full stop).
class ConversionError : public std::runtime_error {
public:
    ConversionError(const std::string& message, std::string path, int systemError)
        : std::runtime_error(message), path_(std::move(path)), systemError_(systemError) {}
    const std::string& path() const { return path_; }
    int systemError() const { return systemError_; }

private:
    std::string path_;
    int systemError_;
};

// Ends a run that was asked to stop between two files.
class ConversionInterrupted : public std::runtime_error {
public:
    ConversionInterrupted() : std::runtime_error("interrupted") {}
};

// Hears about each file as the run decides on it. The window ignores skipped
// files; the command line warns about them. A file is reported written only
// once its new contents and its name are on disk, so the reports of a run
// come in small bursts.
class ConversionObserver {
public:
    virtual ~ConversionObserver() = default;
    virtual void calendarWritten(const std::string& path) { (void)path; }
    virtual void calendarSkipped(const std::string& path, const std::string& reason)
    {
        (void)path;
        (void)reason;
    }
    // Asked before each file (and now and then inside a large one); true ends
    // the run with ConversionInterrupted, so a file is never left half done.
    virtual bool stopRequested() { return false; }
};

// The texts of the run, as the user sees them.
namespace texts {
inline const std::string cannotCreateFile = "Cannot create file ";
inline const std::string streamWriteError = "Stream write error";
inline const std::string holdsNul = "holds a NUL byte, so it is no calendar text; left untouched";
inline const std::string changedMeanwhile = "changed by another program while it was converted; left as it was";
inline const std::string openElsewhere = "open for writing in another program; left as it was";
inline const std::string cannotRead = "cannot read: ";
} // namespace texts

} // namespace dw::convert
