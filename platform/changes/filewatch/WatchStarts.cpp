// SPDX-License-Identifier: MIT
#include "platform/changes/filewatch/WatchStarts.h"

#include "platform/changes/filewatch/FolderEntries.h"
#include "platform/messagewindow/UiMailbox.h"

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
    std::shared_ptr<UiMailbox> mailbox; // closed once the owner's starts are gone
    Done done;
    std::mutex lock;
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
                if (waiting.empty()) {
                    --running;
                    return;
                }
                next = std::move(waiting.front());
                waiting.pop_front();
            }
            auto started = std::make_shared<StartedWatch>(run(next));
            mailbox->post([self = shared_from_this(), ticket = next.ticket, started] {
                self->done(ticket, std::move(*started));
            });
        }
    }
};

WatchStarts::WatchStarts(QObject* owner, Done done) : shared_(std::make_shared<Shared>())
{
    shared_->mailbox = UiMailbox::make(owner);
    shared_->done = std::move(done);
}

WatchStarts::~WatchStarts()
{
    shared_->mailbox->close();
    std::lock_guard guard(shared_->lock);
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
