// SPDX-License-Identifier: MIT
#include "platform/listing/LineCall.h"

#include "platform/namespace/ShellNamespace.h"

#include <QPointer>

#include <condition_variable>
#include <mutex>

namespace dw::platform {

struct LineCall::State {
    std::mutex mutex;
    std::condition_variable finished;
    bool ready = false;
};

LineCall::LineCall(const std::string& volumeKey, std::function<void()> work, std::function<void()> then,
                   QObject* parent)
    : QObject(parent), state_(std::make_shared<State>()), mailbox_(UiMailbox::make(this)), then_(std::move(then))
{
    job_ = ListingProducer::instance().run(
        volumeKey, [work = std::move(work), state = state_, mailbox = mailbox_, self = this](const std::atomic<bool>&) {
            work();
            {
                std::lock_guard lock(state->mutex);
                state->ready = true;
                state->finished.notify_all();
            }
            // `self` is used on its own thread only while the mailbox is
            // open, that is while it lives.
            mailbox->post([self] { self->handOn(); });
        });
}

LineCall::~LineCall()
{
    cancel();
}

bool LineCall::waitFinished(std::chrono::milliseconds timeout)
{
    {
        std::unique_lock lock(state_->mutex);
        if (!state_->finished.wait_for(lock, timeout, [&] { return state_->ready; }))
            return false;
    }
    handOn();
    return true;
}

void LineCall::handOn()
{
    {
        std::lock_guard lock(state_->mutex);
        if (!state_->ready || handedOn_ || job_->cancelled())
            return;
    }
    handedOn_ = true;
    // `then` may end this call's life (its owner lets go of it): nothing of
    // it is read once `then` has run, and it is deleted later only if it
    // still lives.
    const bool deleteWhenDone = deleteWhenDone_;
    const QPointer<LineCall> alive(this);
    struct DeleteAfter {
        const QPointer<LineCall>& call;
        bool wanted;
        ~DeleteAfter()
        {
            if (wanted && call)
                call->deleteLater();
        }
    } deleteAfter{alive, deleteWhenDone};
    const auto then = then_;
    if (then)
        then();
}

void LineCall::cancel()
{
    job_->cancel();
    mailbox_->close();
}

std::unique_ptr<LineCall> parseOffThread(const std::string& name, std::function<void(IdListPtr)> done,
                                         QObject* parent)
{
    std::shared_ptr<IShellNamespace> space = sharedShellNamespace();
    const std::string key = space->volumeKeyOfParsingName(name);
    auto parsed = std::make_shared<IdListPtr>();
    auto work = [name, space, parsed] {
        if (const ShellFolderPtr desktop = space->desktopFolder();
            !isParsingName(name) || !desktop || failed(desktop->ParseDisplayName(name, *parsed)))
            parsed->reset();
    };
    auto then = [parsed, done = std::move(done)] { done(std::move(*parsed)); };
    return std::make_unique<LineCall>(key, std::move(work), std::move(then), parent);
}

} // namespace dw::platform
