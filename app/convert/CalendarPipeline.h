#pragma once
// Reads and converts calendars ahead of the run, on worker threads, and hands
// them back strictly in list order. The run itself still decides and writes
// one file after the other on its own thread; reading ahead only takes reads,
// so a run that stops at a failed write has written nothing beyond it.
// With many small calendars, reading and scanning is most of the work, and
// spreading it over the cores is what keeps a run near the speed of reading.

#include "app/convert/CalendarConverter.h"
#include "platform/files/ByteBuffer.h"
#include "platform/files/FileIdentity.h"
#include "platform/files/FileReader.h"

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace dw::convert {

// One calendar, read and converted in memory.
struct PreparedCalendar {
    std::string path;
    platform::ReadOutcome read;
    platform::FileIdentity identity;
    platform::ByteBuffer input;
    CalendarConverter converter;
    bool holdsNul = false;
    bool modified = false;

    void prepare(const std::string& filePath);
};

// The workers and their buffers live as long as the pipeline, so a run over
// many folders starts no threads and allocates nothing per folder.
class CalendarPipeline {
public:
    // `workers` 0 or 1: everything happens in the calling thread.
    explicit CalendarPipeline(unsigned workers);
    ~CalendarPipeline();
    CalendarPipeline(const CalendarPipeline&) = delete;
    CalendarPipeline& operator=(const CalendarPipeline&) = delete;

    // Starts on a new list of files; what is left of the previous one is
    // dropped (after the files being read right now are done).
    void begin(std::vector<std::string> paths);

    // The next calendar in list order, valid until the following call;
    // null after the last one.
    PreparedCalendar* next();

    // Worker threads that suit this machine.
    static unsigned defaultWorkers();

private:
    void work();
    bool mayClaim() const;

    std::vector<std::string> paths_;
    std::vector<std::unique_ptr<PreparedCalendar>> slots_; // a ring: item i lives in slot i % size
    std::vector<std::size_t> slotHolds_;                   // which item each slot holds when ready
    std::size_t claimed_ = 0;                              // items given to workers so far
    std::size_t released_ = 0;                             // items the run is done with
    std::size_t handed_ = 0;                               // items handed to the run
    std::size_t busy_ = 0;                                 // workers reading right now
    bool stopping_ = false;
    std::mutex mutex_;
    std::condition_variable workAvailable_;
    std::condition_variable itemReady_;
    std::vector<std::thread> workers_;
};

} // namespace dw::convert
