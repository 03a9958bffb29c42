#pragma once
// One conversion run: the selected calendars of a folder are read, converted
// and written back in place, and the files written are counted.

#include "platform/files/FileIo.h"

#include <cstdint>
#include <memory>
#include <set>
#include <sys/types.h>
#include <utility>
#include <stdexcept>
#include <string>
#include <vector>

namespace dw::convert {

class CalendarPipeline;
struct PreparedCalendar;

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
// files; the command line warns about them.
class ConversionObserver {
public:
    virtual ~ConversionObserver() = default;
    virtual void calendarWritten(const std::string& path) { (void)path; }
    virtual void calendarSkipped(const std::string& path, const std::string& reason)
    {
        (void)path;
        (void)reason;
    }
    // Asked before each file; true ends the run with ConversionInterrupted,
    // so a file is never left half done.
    virtual bool stopRequested() { return false; }
};

struct ConversionOptions {
    bool dryRun = false;                            // decide, report, write nothing
    const platform::FileIo* io = nullptr;           // null: the real system calls
    unsigned workers = 0;                           // threads reading ahead; 0: what suits the machine
};

class ConversionRun {
public:
    explicit ConversionRun(ConversionOptions options = {}, ConversionObserver* observer = nullptr);
    ~ConversionRun();
    ConversionRun(const ConversionRun&) = delete;
    ConversionRun& operator=(const ConversionRun&) = delete;

    // Converts the selected entries of `currentFolder` (which ends with "/"),
    // in list order, and answers how many files this call wrote. Throws
    // ConversionError when a file cannot be written; files written before it
    // stay written and the rest are not touched.
    std::int32_t convert(const std::string& currentFolder, const std::vector<CalendarEntry>& entries);

    // Files written by every call of this run so far.
    std::int32_t filesWritten() const { return filesWritten_; }

private:
    void readAgainIfWeChangedIt(PreparedCalendar& calendar);
    bool finishCalendar(const PreparedCalendar& calendar);
    void writeBack(const PreparedCalendar& calendar);

    ConversionOptions options_;
    ConversionObserver* observer_;
    std::unique_ptr<CalendarPipeline> pipeline_;
    std::set<std::pair<dev_t, ino_t>> dryRunCounted_; // one file under several names counts once
    std::int32_t filesWritten_ = 0;
};

// The run as the window's button does it: the count of files written.
std::int32_t convertSelectedCalendars(const std::string& currentFolder, const std::vector<CalendarEntry>& entries);

// The text of the final message, e.g. "Files modified: 3".
std::string filesModifiedMessage(std::int32_t count);

} // namespace dw::convert

namespace dw::convert {

// The message as the error box shows it: a full stop is added when the text
// ends with a character that sorts after ".".
std::string withFullStop(const std::string& message);

} // namespace dw::convert
