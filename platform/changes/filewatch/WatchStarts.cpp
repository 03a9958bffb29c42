// SPDX-License-Identifier: MIT
#include "platform/changes/filewatch/WatchStarts.h"

#include "platform/changes/filewatch/FolderEntries.h"

#include <QMetaObject>

#include <deque>
#include <mutex>
#include <thread>
#include <utility>

namespace dw::platform {
namespace {

struct Job {
    std::uint64_t ticket = 0;
    std::string folder;
    InotifyReader::WatchAdder addWatch;
    std::promise<AddedWatch> added;
};

StartedWatch run(Job& job)
{
    StartedWatch started{job.folder, job.addWatch(job.folder), std::nullopt};
    job.added.set_value(started.added);
    if (started.added.result == AddWatchResult::Added)
        started.entries = listFolder(job.folder);
    return started;
}

} // namespace

struct WatchStarts::Shared : std::enable_shared_from_this<Shared> {
    std::mutex lock;
    QObject* owner = nullptr; // null once the owner's starts are gone
    Done done;
    std::deque<Job> waiting;
    int running = 0;
    std::uint64_t lastTicket = 0;

    // Called with `lock` held.
    void startThreadIfDue()
    {
        if (waiting.empty() || running >= kMostAtOnce)
            return;
        ++running;
        std::thread([self = shared_from_this()] { self->work(); }).detach();
    }

    void work()
    {
        for (;;) {
            Job next;
            {
                std::lock_guard guard(lock);
                if (waiting.empty() || owner == nullptr) {
                    --running;
                    return;
                }
                next = std::move(waiting.front());
                waiting.pop_front();
            }
            hand(next.ticket, run(next));
        }
    }

    void hand(std::uint64_t ticket, StartedWatch started)
    {
        auto held = std::make_shared<StartedWatch>(std::move(started));
        std::lock_guard guard(lock);
        if (owner == nullptr) {
            drop(*held);
            return;
        }
        // Posted under the lock: the owner's starts close under it before
        // the owner goes, so the owner is still there to receive the call.
        QMetaObject::invokeMethod(
            owner,
            [self = shared_from_this(), ticket, held] {
                if (self->owner != nullptr)
                    self->done(ticket, std::move(*held));
                else
                    drop(*held);
            },
            Qt::QueuedConnection);
    }

    // The watch goes with the instance it was added to, which closes when
    // the last adder is gone; a large listing is freed off this thread.
    static void drop(StartedWatch& started)
    {
        if (started.entries)
            releaseListing(std::move(*started.entries));
    }
};

WatchStarts::WatchStarts(QObject* owner, Done done) : shared_(std::make_shared<Shared>())
{
    shared_->owner = owner;
    shared_->done = std::move(done);
}

WatchStarts::~WatchStarts()
{
    std::lock_guard guard(shared_->lock);
    shared_->owner = nullptr;
    shared_->waiting.clear();
}

WatchStarts::Start WatchStarts::start(const std::string& folder, InotifyReader::WatchAdder addWatch)
{
    std::lock_guard guard(shared_->lock);
    Job job{++shared_->lastTicket, folder, std::move(addWatch), {}};
    Start start{job.ticket, job.added.get_future()};
    shared_->waiting.push_back(std::move(job));
    shared_->startThreadIfDue();
    return start;
}

} // namespace dw::platform
