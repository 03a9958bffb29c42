// SPDX-License-Identifier: MIT
#include "platform/changesource/SubtreeWalker.h"

#include "platform/changes/filewatch/PathChange.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace dw::platform {

struct SubtreeWalker::Shared {
    std::mutex lock;
    std::condition_variable wake;
    std::deque<WalkRequest> queue;
    std::uint64_t cancelGeneration = 0;
    bool stopping = false;
    bool workerDone = false;
    Sink sink;

    bool cancelledSince(std::uint64_t generation)
    {
        std::lock_guard guard(lock);
        return stopping || cancelGeneration != generation;
    }
};

namespace {

// Waiting this long for a worker to see that it is cancelled costs the
// program's end nothing noticeable; a worker still busy after it is stuck.
constexpr auto kWorkerPatience = std::chrono::milliseconds(500);

bool isMountPoint(const WalkRequest& request, const std::string& path)
{
    return std::binary_search(request.mountPoints.begin(), request.mountPoints.end(), path);
}

class Walk {
public:
    Walk(SubtreeWalker::Shared& shared, const WalkRequest& request, std::uint64_t generation)
        : shared_(shared), request_(request), generation_(generation)
    {
        batch_.walk = request.walk;
    }

    void run()
    {
        std::deque<std::string> pending{request_.root};
        std::size_t found = 0;
        while (!pending.empty() && !shared_.cancelledSince(generation_)) {
            if (found == request_.maxFolders) {
                batch_.truncated = true;
                break;
            }
            std::string folder = std::move(pending.front());
            pending.pop_front();
            std::optional<FolderListing> entries = listFolder(folder);
            if (!entries)
                continue; // unreadable or gone: nothing to watch
            for (const auto& [name, kind] : *entries) {
                const std::string child = childPath(folder, name);
                if (kind == EntryKind::Folder && !isMountPoint(request_, child))
                    pending.push_back(child);
            }
            batch_.folders.push_back({std::move(folder), std::move(*entries)});
            ++found;
            if (batch_.folders.size() == SubtreeWalker::kBatchSize)
                handOn();
        }
        batch_.finished = true;
        handOn();
    }

private:
    void handOn()
    {
        shared_.sink(std::move(batch_));
        batch_ = WalkedFolders{};
        batch_.walk = request_.walk;
    }

    SubtreeWalker::Shared& shared_;
    const WalkRequest& request_;
    std::uint64_t generation_;
    WalkedFolders batch_;
};

void work(std::shared_ptr<SubtreeWalker::Shared> shared)
{
    while (true) {
        WalkRequest request;
        std::uint64_t generation = 0;
        {
            std::unique_lock guard(shared->lock);
            shared->wake.wait(guard, [&] { return shared->stopping || !shared->queue.empty(); });
            if (shared->stopping)
                break;
            request = std::move(shared->queue.front());
            shared->queue.pop_front();
            generation = shared->cancelGeneration;
        }
        Walk(*shared, request, generation).run();
    }
    std::lock_guard guard(shared->lock);
    shared->workerDone = true;
    shared->wake.notify_all();
}

} // namespace

SubtreeWalker::SubtreeWalker(Sink sink) : shared_(std::make_shared<Shared>())
{
    shared_->sink = std::move(sink);
    worker_ = std::thread(work, shared_);
}

SubtreeWalker::~SubtreeWalker()
{
    std::unique_lock guard(shared_->lock);
    shared_->stopping = true;
    shared_->queue.clear();
    shared_->wake.notify_all();
    const bool done = shared_->wake.wait_for(guard, kWorkerPatience, [this] { return shared_->workerDone; });
    guard.unlock();
    if (done)
        worker_.join();
    else
        worker_.detach(); // stuck in a folder read: it ends when that returns, touching only what it shares
}

void SubtreeWalker::walk(WalkRequest request)
{
    std::lock_guard guard(shared_->lock);
    shared_->queue.push_back(std::move(request));
    shared_->wake.notify_all();
}

void SubtreeWalker::cancelAll()
{
    std::lock_guard guard(shared_->lock);
    shared_->queue.clear();
    ++shared_->cancelGeneration;
}

} // namespace dw::platform
