// SPDX-License-Identifier: MIT
#pragma once
// One thread that runs jobs one after the other, in the order they were
// handed over, while the thread that handed them over goes on. The same
// thread runs every job, so jobs never overlap and what one leaves behind
// is seen by the next.

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

namespace dw::platform {

class BackgroundWorker {
public:
    BackgroundWorker() = default;
    // Runs the jobs still queued, then stops.
    ~BackgroundWorker();
    BackgroundWorker(const BackgroundWorker&) = delete;
    BackgroundWorker& operator=(const BackgroundWorker&) = delete;

    // Queues `job`; the future gives its result, or what it threw.
    template <typename Job>
    auto post(Job job) -> std::future<decltype(job())>
    {
        auto task = std::make_shared<std::packaged_task<decltype(job())()>>(std::move(job));
        auto result = task->get_future();
        enqueue([task] { (*task)(); });
        return result;
    }

private:
    void enqueue(std::function<void()> job);
    void work();

    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> jobs_;
    bool stopping_ = false;
    std::thread thread_; // started with the first job
};

} // namespace dw::platform
