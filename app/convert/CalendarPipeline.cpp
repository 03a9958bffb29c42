#include "app/convert/CalendarPipeline.h"

#include <algorithm>
#include <cerrno>
#include <new>
#include <limits>

namespace dw::convert {

namespace {

constexpr std::size_t notReady = std::numeric_limits<std::size_t>::max();

} // namespace

void PreparedCalendar::prepare(const std::string& filePath)
{
    path = filePath;
    holdsNul = false;
    modified = false;
    try {
        read = platform::readWholeFile(path, input, identity);
        if (!read.ok())
            return;
        holdsNul = holdsNulByte(input.view());
        modified = !holdsNul && converter.convert(input.view());
    } catch (const std::bad_alloc&) {
        // A calendar too large to hold twice in memory is left as it is,
        // like one that cannot be read; this may run on a worker thread,
        // where an escaping exception would end the program.
        read.error = ENOMEM;
        modified = false;
    }
}

unsigned CalendarPipeline::defaultWorkers()
{
    return std::min(4u, std::thread::hardware_concurrency());
}

CalendarPipeline::CalendarPipeline(unsigned workers)
{
    if (workers < 2)
        workers = 0;
    // One slot for the item the run holds, one for each worker to fill.
    const std::size_t slots = std::size_t(workers) + 1;
    for (std::size_t i = 0; i < slots; ++i)
        slots_.push_back(std::make_unique<PreparedCalendar>());
    slotHolds_.assign(slots, notReady);
    for (unsigned i = 0; i < workers; ++i)
        workers_.emplace_back([this] { work(); });
}

CalendarPipeline::~CalendarPipeline()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    workAvailable_.notify_all();
    for (std::thread& worker : workers_)
        worker.join();
}

void CalendarPipeline::begin(std::vector<std::string> paths)
{
    std::unique_lock lock(mutex_);
    // A worker may still be reading for the list given up; its slot must be
    // free before the new list can use it.
    itemReady_.wait(lock, [this] { return busy_ == 0; });
    paths_ = std::move(paths);
    claimed_ = released_ = handed_ = 0;
    std::fill(slotHolds_.begin(), slotHolds_.end(), notReady);
    lock.unlock();
    workAvailable_.notify_all();
}

bool CalendarPipeline::mayClaim() const
{
    return claimed_ < paths_.size() && claimed_ < released_ + slots_.size();
}

void CalendarPipeline::work()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        workAvailable_.wait(lock, [this] { return stopping_ || mayClaim(); });
        if (stopping_)
            return;
        const std::size_t item = claimed_++;
        PreparedCalendar& slot = *slots_[item % slots_.size()];
        const std::string& path = paths_[item];
        ++busy_;
        lock.unlock();
        slot.prepare(path);
        lock.lock();
        --busy_;
        slotHolds_[item % slots_.size()] = item;
        itemReady_.notify_all();
    }
}

PreparedCalendar* CalendarPipeline::next()
{
    std::unique_lock lock(mutex_);
    const std::size_t item = handed_;
    // The item handed out last is the run's no longer: its slot may be refilled.
    released_ = item;
    if (item >= paths_.size())
        return nullptr;
    workAvailable_.notify_all();
    PreparedCalendar& slot = *slots_[item % slots_.size()];
    if (workers_.empty())
        slot.prepare(paths_[item]);
    else
        itemReady_.wait(lock, [&] { return slotHolds_[item % slots_.size()] == item; });
    handed_ = item + 1;
    return &slot;
}

} // namespace dw::convert
