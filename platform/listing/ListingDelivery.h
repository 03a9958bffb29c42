// SPDX-License-Identifier: MIT
#pragma once
// Brings a listing's batches to the thread of a view. The listing runs on
// the producer's worker; its batches are handed to `onBatch` on the thread
// this object lives on, between other events, so the view never waits for
// a disk. A view may also wait a little for a listing that is quick, and
// have all of it at once (waitFinished). After cancel() or destruction
// nothing more arrives, whatever the worker is still doing.

#include "platform/listing/ListingProducer.h"
#include "platform/messagewindow/UiMailbox.h"

#include <QObject>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>

namespace dw::platform {

class ListingDelivery : public QObject {
public:
    using BatchHandler = std::function<void(ListingBatch&& batch)>;

    ListingDelivery(ListingRequest request, BatchHandler onBatch, QObject* parent = nullptr);
    ~ListingDelivery() override;

    // Blocks for at most `timeout` until the listing has ended; then every
    // batch, however many, has been handed on before this returns true.
    // Otherwise the batches that came so far are handed on now, the rest
    // arrive through the event loop, and it returns false.
    bool waitFinished(std::chrono::milliseconds timeout);
    // The same, except that once `rowsEnoughAfter` has passed, a batch that
    // came is enough to stop waiting: a listing still going after that long
    // is a large or slow one, whose first rows are better shown at once.
    bool waitFinished(std::chrono::milliseconds timeout, std::chrono::milliseconds rowsEnoughAfter);

    // Stops the listing; no batch is handed on after this returns.
    void cancel();
    bool finished() const { return finished_; }
    bool cancelled() const { return job_ && job_->cancelled(); }

private:
    struct Inbox;
    void handOn(bool withinBudget);
    bool finishedInbox() const;

    std::shared_ptr<Inbox> inbox_;
    std::shared_ptr<UiMailbox> mailbox_;
    std::shared_ptr<ListingJob> job_;
    BatchHandler onBatch_;
    bool finished_ = false;
};

} // namespace dw::platform
