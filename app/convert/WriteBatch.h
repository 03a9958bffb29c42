// SPDX-License-Identifier: MIT
#pragma once
// Calendars converted and waiting to take their originals' places, together.
//
// Each new file must be on disk before it replaces its calendar, and the
// folder after; one flush after another would keep the disk waiting on each.
// So converted calendars are gathered, their new files flushed all at once,
// put in place in list order, their folders flushed once each, and only then
// reported. A failure still stops the run at the first failed file in list
// order: every file before it is in place, none after it is touched.

#include "app/convert/ConversionEvents.h"
#include "platform/files/ChangeWatch.h"
#include "platform/files/FileIo.h"
#include "platform/files/NewFile.h"
#include "platform/files/SourceFile.h"
#include "platform/files/SyncPool.h"

#include <cstdint>
#include <string>
#include <vector>

namespace dw::convert {

struct PendingCalendar {
    std::string path; // as reported
    platform::SourceFile source;
    platform::ChangeWatch watch;
    platform::NewFile replacement;
    std::uint64_t bytes = 0;
};

class WriteBatch {
public:
    WriteBatch(const platform::FileIo& io, ConversionObserver* observer);

    // A skipped calendar is reported in its place among the written ones.
    void skip(const std::string& path, const std::string& reason);
    void add(PendingCalendar calendar);

    bool empty() const { return events_.empty(); }
    bool full() const;
    // Some calendar waiting here is the file `identity` names.
    bool holds(const platform::FileIdentity& identity) const;

    // Puts every calendar in place and reports them, adding those written to
    // `written`. Throws ConversionError for the first that fails, after
    // reporting those before it; the rest are dropped.
    void commit(std::int32_t& written);
    // Gives up whatever waits: every calendar stays as it was.
    void drop() { events_.clear(); }

private:
    struct Event {
        std::string path;
        std::string skipReason;       // set for a skipped calendar
        std::unique_ptr<PendingCalendar> pending; // set for a converted one
        std::string outcome;           // after installing: empty, or why it was skipped after all
        bool installed = false;
    };

    std::size_t firstFailedFlush(const std::vector<int>& results, int& error) const;
    std::size_t install(std::size_t until, int& error);
    std::size_t firstUnflushedFolder(std::size_t until, int& error);
    void report(std::size_t until, std::int32_t& written);
    void letOriginalsGo();

    const platform::FileIo& io_;
    ConversionObserver* observer_;
    platform::SyncPool pool_;
    std::vector<Event> events_;
    std::size_t pending_ = 0;
    std::uint64_t pendingBytes_ = 0;
};

} // namespace dw::convert
