// SPDX-License-Identifier: MIT
#include "platform/listing/ListingProducer.h"

#include "platform/namespace/ShellNamespace.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace dw::platform {

namespace {

constexpr auto kIdleWorkerLifetime = std::chrono::seconds(10);
constexpr auto kExitGrace = std::chrono::milliseconds(300);

struct Task {
    LineWork work;
    std::shared_ptr<ListingJob> job;
};

struct VolumeLine {
    std::deque<Task> tasks;
    bool workerRunning = false;
};

} // namespace

struct ListingProducer::State {
    std::mutex mutex;
    std::condition_variable workArrived;
    std::condition_variable workerIdle;
    std::map<std::string, VolumeLine> lines;
    int workers = 0;
    int busyWorkers = 0;
    bool shuttingDown = false;

    void serve(const std::string& key);
};

// One worker's life: take the line's tasks in order until it stays empty.
void ListingProducer::State::serve(const std::string& key)
{
    std::unique_lock lock(mutex);
    for (;;) {
        VolumeLine& line = lines[key];
        workArrived.wait_for(lock, kIdleWorkerLifetime, [&] { return shuttingDown || !line.tasks.empty(); });
        if (line.tasks.empty() || shuttingDown) {
            line.workerRunning = false;
            --workers;
            return;
        }
        Task task = std::move(line.tasks.front());
        line.tasks.pop_front();
        ++busyWorkers;
        lock.unlock();
        if (!task.job->cancelled())
            task.work(*task.job->flag());
        task = Task{}; // let go of the work's captures before taking the lock
        lock.lock();
        --busyWorkers;
        workerIdle.notify_all();
    }
}

ListingProducer& ListingProducer::instance()
{
    static ListingProducer producer;
    return producer;
}

ListingProducer::ListingProducer() : state_(std::make_shared<State>()) {}

ListingProducer::~ListingProducer()
{
    std::unique_lock lock(state_->mutex);
    state_->shuttingDown = true;
    for (auto& [key, line] : state_->lines) {
        for (Task& task : line.tasks)
            task.job->cancel();
        line.tasks.clear();
    }
    state_->workArrived.notify_all();
    // Listings under way see their cancellation between two children; one
    // stuck in a call that never returns is left behind.
    state_->workerIdle.wait_for(lock, kExitGrace, [&] { return state_->busyWorkers == 0; });
}

std::shared_ptr<ListingJob> ListingProducer::start(ListingRequest request, BatchSink sink)
{
    std::shared_ptr<IShellNamespace> space = sharedShellNamespace();
    const std::string key = space->volumeKeyOf(request.folder.get());
    return run(key, [request = std::move(request), sink = std::move(sink),
                     space = std::move(space)](const std::atomic<bool>& cancelled) {
        runListing(request, *space, &cancelled, sink);
    });
}

std::shared_ptr<ListingJob> ListingProducer::run(const std::string& volumeKey, LineWork work)
{
    auto job = std::make_shared<ListingJob>();
    std::lock_guard lock(state_->mutex);
    if (state_->shuttingDown) {
        job->cancel();
        return job;
    }
    VolumeLine& line = state_->lines[volumeKey];
    line.tasks.push_back({std::move(work), job});
    if (!line.workerRunning) {
        line.workerRunning = true;
        ++state_->workers;
        std::thread([state = state_, volumeKey] { state->serve(volumeKey); }).detach();
    }
    state_->workArrived.notify_all();
    return job;
}

void ListingProducer::listNow(const ListingRequest& request, const BatchSink& sink)
{
    const std::shared_ptr<IShellNamespace> space = sharedShellNamespace();
    runListing(request, *space, nullptr, sink);
}

int ListingProducer::workerCount() const
{
    std::lock_guard lock(state_->mutex);
    return state_->workers;
}

} // namespace dw::platform
