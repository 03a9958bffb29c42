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
//
// A full batch is flushed and put in place, its folders flushed, while the
// run goes on converting the next one; it is reported when that one is full
// in turn, or when the run asks for everything to be in place. The originals
// replaced are closed (which frees their space, and on a disk mounted with
// "discard" waits for it) in the background too.

#include "app/convert/ConversionEvents.h"
#include "platform/files/BackgroundWorker.h"
#include "platform/files/ChangeWatch.h"
#include "platform/files/FileIo.h"
#include "platform/files/NewFile.h"
#include "platform/files/SourceFile.h"
#include "platform/files/SyncPool.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <future>
#include <memory>
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
    ~WriteBatch();
    WriteBatch(const WriteBatch&) = delete;
    WriteBatch& operator=(const WriteBatch&) = delete;

    // A skipped calendar is reported in its place among the written ones.
    void skip(const std::string& path, const std::string& reason);
    void add(PendingCalendar calendar);

    // Nothing gathered and nothing being flushed.
    bool empty() const;
    // The batch being gathered should go to disk.
    bool full() const;
    // Some calendar waiting here is the file `identity` names.
    bool holds(const platform::FileIdentity& identity) const;

    // Starts flushing the batch gathered, after putting in place the one
    // flushed before. Throws as commit() does.
    void commitInBackground(std::int32_t& written);
    // Puts every calendar in place and reports them, adding those written to
    // `written`. Throws ConversionError for the first that fails, after
    // reporting those before it; the rest are dropped.
    void commit(std::int32_t& written);
    // Gives up the calendars gathered: they stay as they were. The batch being
    // put in place meanwhile is waited for and what it placed is reported;
    // its failure, if it met one, is answered (it comes first in list order).
    std::exception_ptr abandon(std::int32_t& written);

private:
    struct Event {
        std::string path;
        std::string skipReason;                   // set for a skipped calendar
        std::unique_ptr<PendingCalendar> pending; // set for a converted one
        std::string outcome;                      // after installing: empty, or why it was skipped after all
        bool installed = false;
    };
    // How far a batch got: every calendar before `until` is settled.
    struct Placed {
        std::size_t until = 0;
        int error = 0; // why the calendar at `until` failed
    };
    // A batch being put in place by another thread.
    struct Flushing {
        std::vector<Event> events;
        std::future<Placed> placed;
    };

    Placed putInPlace(std::vector<Event>& events, const std::vector<std::function<int()>>& flushes);
    void settle(std::int32_t& written);
    std::size_t install(std::vector<Event>& events, std::size_t until, int& error);
    std::size_t firstUnflushedFolder(std::vector<Event>& events, std::size_t until, int& error);
    void report(const std::vector<Event>& events, std::size_t until, std::int32_t& written);
    void letOriginalsGo(std::vector<Event>& events);
    void waitForClosing();

    const platform::FileIo& io_;
    ConversionObserver* observer_;
    std::vector<Event> events_; // the batch being gathered
    std::size_t pending_ = 0;
    std::uint64_t pendingBytes_ = 0;
    platform::SyncPool flushPool_;
    platform::SyncPool closePool_;
    // One thread puts batches in place, another closes originals; the
    // destructor waits for both before what they work on goes.
    platform::BackgroundWorker placer_;
    platform::BackgroundWorker closer_;
    std::unique_ptr<Flushing> flushing_;
    std::future<void> closing_;
};

} // namespace dw::convert
