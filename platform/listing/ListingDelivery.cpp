// SPDX-License-Identifier: MIT
#include "platform/listing/ListingDelivery.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <mutex>

namespace dw::platform {

namespace {

// Batches that piled up while the thread was busy are handed on a few at a
// time, each turn of the event loop taking no longer than this.
constexpr qint64 kTurnBudgetMs = 5;
constexpr int kYieldMs = 2;

} // namespace

// Batches the worker has made and the view has not taken yet.
struct ListingDelivery::Inbox {
    std::mutex mutex;
    std::condition_variable arrived;
    std::deque<ListingBatch> batches;
    bool lastArrived = false;
};

ListingDelivery::ListingDelivery(ListingRequest request, BatchHandler onBatch, QObject* parent)
    : QObject(parent), inbox_(std::make_shared<Inbox>()), mailbox_(UiMailbox::make(this)), onBatch_(std::move(onBatch))
{
    job_ = ListingProducer::instance().start(
        std::move(request), [inbox = inbox_, mailbox = mailbox_, self = this](ListingBatch&& batch) {
            {
                std::lock_guard lock(inbox->mutex);
                inbox->lastArrived = batch.last;
                inbox->batches.push_back(std::move(batch));
                inbox->arrived.notify_all();
            }
            // `self` is only used on its own thread, and only while the
            // mailbox is open, that is while it lives.
            mailbox->post([self] { self->handOn(true); });
        });
}

ListingDelivery::~ListingDelivery()
{
    cancel();
}

bool ListingDelivery::waitFinished(std::chrono::milliseconds timeout)
{
    return waitFinished(timeout, timeout);
}

bool ListingDelivery::waitFinished(std::chrono::milliseconds timeout, std::chrono::milliseconds rowsEnoughAfter)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    {
        std::unique_lock lock(inbox_->mutex);
        const auto ended = [&] { return inbox_->lastArrived || cancelled(); };
        if (!inbox_->arrived.wait_for(lock, std::min(rowsEnoughAfter, timeout), ended))
            inbox_->arrived.wait_until(lock, deadline, [&] { return ended() || !inbox_->batches.empty(); });
    }
    const QPointer<ListingDelivery> alive(this);
    handOn(!finishedInbox());
    return !alive || finished_;
}

bool ListingDelivery::finishedInbox() const
{
    std::lock_guard lock(inbox_->mutex);
    return inbox_->lastArrived;
}

void ListingDelivery::handOn(bool withinBudget)
{
    QElapsedTimer spent;
    spent.start();
    for (;;) {
        ListingBatch batch;
        {
            std::lock_guard lock(inbox_->mutex);
            if (inbox_->batches.empty() || cancelled() || finished_)
                return;
            if (withinBudget && spent.elapsed() >= kTurnBudgetMs) {
                // The rest after a pause: a timer, unlike a posted call, lets
                // the event loop paint and take input in between.
                QTimer::singleShot(kYieldMs, this, [this] { handOn(true); });
                return;
            }
            batch = std::move(inbox_->batches.front());
            inbox_->batches.pop_front();
        }
        finished_ = batch.last;
        // The handler may cancel the listing, or destroy this object.
        const QPointer<ListingDelivery> alive(this);
        const BatchHandler handler = onBatch_;
        if (handler)
            handler(std::move(batch));
        if (!alive)
            return;
    }
}

void ListingDelivery::cancel()
{
    if (job_)
        job_->cancel();
    mailbox_->close();
}

} // namespace dw::platform
