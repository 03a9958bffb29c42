// SPDX-License-Identifier: MIT
#pragma once
// One conversion run: the selected calendars of a folder are read, converted
// and written back in place, and the files written are counted.

#include "app/convert/ConversionEvents.h"
#include "platform/files/FileIdentity.h"
#include "platform/files/FileIo.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace dw::platform {
class Folder;
struct SourceFile;
class ChangeWatch;
} // namespace dw::platform

namespace dw::convert {

class CalendarStream;
class NewFileSink;
class WriteBatch;

struct ConversionOptions {
    bool dryRun = false;                  // decide, report, write nothing
    const platform::FileIo* io = nullptr; // null: the real system calls
    std::size_t pieceBytes = 0;           // read calendars in pieces of this size; 0: the usual
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

    // For a caller walking many folders: converts `names` in the open
    // `folder`, reporting each as `shownPrefix` + name. Written calendars
    // may wait to be put in place together with those of later calls;
    // finish() puts the last of them in place. Throws as convert() does.
    void convertIn(const std::shared_ptr<platform::Folder>& folder, const std::string& shownPrefix,
                   const std::vector<std::string>& names);
    void finish();

    // Files written by every call of this run so far.
    std::int32_t filesWritten() const { return filesWritten_; }

private:
    void convertOne(const std::shared_ptr<platform::Folder>& folder, const std::string& path, const std::string& name);
    int openCalendar(const std::shared_ptr<platform::Folder>& folder, const std::string& name,
                     platform::SourceFile& source);
    void inspectOne(const std::string& path, platform::SourceFile& source);
    void convertOpened(const std::string& path, platform::SourceFile& source);
    void putInPlace(const std::string& path, platform::SourceFile& source, platform::ChangeWatch& watch,
                    NewFileSink& sink);
    void rewriteInPlace(const std::string& path, platform::SourceFile& source, platform::ChangeWatch& watch,
                        NewFileSink& sink);
    void skip(const std::string& path, const std::string& reason);
    [[noreturn]] void fail(const std::string& message, const std::string& path, int error);
    void commit();
    [[noreturn]] void abandonWaiting();
    bool stopRequested() const;

    ConversionOptions options_;
    const platform::FileIo& io_;
    ConversionObserver* observer_;
    std::unique_ptr<CalendarStream> stream_;
    std::unique_ptr<WriteBatch> batch_;
    std::set<std::pair<dev_t, ino_t>> dryRunCounted_; // one file under several names counts once
    std::int32_t filesWritten_ = 0;
};

// The run as the window's button does it: the count of files written.
std::int32_t convertSelectedCalendars(const std::string& currentFolder, const std::vector<CalendarEntry>& entries);

// The text of the final message, e.g. "Files modified: 3".
std::string filesModifiedMessage(std::int32_t count);

// The message as the error box shows it: a full stop is added when the text
// ends with a character that sorts after ".".
std::string withFullStop(const std::string& message);

} // namespace dw::convert
