// SPDX-License-Identifier: MIT
#include "platform/files/SyncPool.h"

#include <algorithm>

namespace dw::platform {

SyncPool::SyncPool(std::size_t mostThreads) : mostThreads_(std::max<std::size_t>(mostThreads, 1)) {}

SyncPool::~SyncPool()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    jobsReady_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

void SyncPool::grow(std::size_t wanted)
{
    // Threads are started when a batch first needs them, and kept.
    while (threads_.size() < std::min(wanted, mostThreads_))
        threads_.emplace_back([this] { work(); });
}

std::vector<int> SyncPool::run(const std::vector<std::function<int()>>& jobs)
{
    std::vector<int> results(jobs.size(), 0);
    if (jobs.size() == 1) {
        results[0] = jobs[0]();
        return results;
    }
    if (jobs.empty())
        return results;
    std::unique_lock lock(mutex_);
    grow(jobs.size());
    jobs_ = &jobs;
    results_ = &results;
    nextJob_ = 0;
    finished_ = 0;
    ++round_;
    jobsReady_.notify_all();
    jobsDone_.wait(lock, [&] { return finished_ == jobs.size(); });
    jobs_ = nullptr;
    results_ = nullptr;
    return results;
}

void SyncPool::work()
{
    std::unique_lock lock(mutex_);
    std::size_t seenRound = 0;
    for (;;) {
        jobsReady_.wait(lock, [&] { return stopping_ || (round_ != seenRound && jobs_ && nextJob_ < jobs_->size()); });
        if (stopping_)
            return;
        while (jobs_ && nextJob_ < jobs_->size()) {
            const std::size_t job = nextJob_++;
            const std::function<int()>& run = (*jobs_)[job];
            lock.unlock();
            const int result = run();
            lock.lock();
            (*results_)[job] = result;
            if (++finished_ == jobs_->size())
                jobsDone_.notify_all();
        }
        seenRound = round_;
    }
}

} // namespace dw::platform
