// SPDX-License-Identifier: MIT
#pragma once
// Flushes several files at once. A disk asked for one flush after another
// finishes each before it hears of the next; asked for many at the same time,
// it writes and commits them together, which on this project's machines made
// a batch of small files several times quicker to flush. The threads only
// wait for the disk, so they cost no processor time on a busy machine.

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace dw::platform {

class SyncPool {
public:
    explicit SyncPool(std::size_t mostThreads);
    ~SyncPool();
    SyncPool(const SyncPool&) = delete;
    SyncPool& operator=(const SyncPool&) = delete;

    // Runs every job, several at once, and answers their results in order.
    // A single job runs in the calling thread.
    std::vector<int> run(const std::vector<std::function<int()>>& jobs);

private:
    void work();
    void grow(std::size_t wanted);

    const std::size_t mostThreads_;
    std::mutex mutex_;
    std::condition_variable jobsReady_;
    std::condition_variable jobsDone_;
    const std::vector<std::function<int()>>* jobs_ = nullptr;
    std::vector<int>* results_ = nullptr;
    std::size_t nextJob_ = 0;
    std::size_t finished_ = 0;
    std::size_t round_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

} // namespace dw::platform
