#pragma once
// Brings a listing's batches to the thread of a view. The listing runs on
// the producer's worker; each batch is posted to this object and handed to
// `onBatch` on the thread the object lives on, between other events, so the
// view never waits for a disk. After cancel() or destruction nothing more
// arrives, whatever the worker is still doing.

#include "platform/listing/ListingProducer.h"

#include <QObject>

#include <functional>
#include <memory>

namespace dw::platform {

class ListingDelivery : public QObject {
    Q_OBJECT
public:
    using BatchHandler = std::function<void(ListingBatch&& batch)>;

    ListingDelivery(ListingRequest request, BatchHandler onBatch, QObject* parent = nullptr);
    ~ListingDelivery() override;

    // Stops the listing; no batch is handed on after this returns.
    void cancel();
    bool finished() const { return finished_; }
    bool cancelled() const { return job_ && job_->cancelled(); }

protected:
    bool event(QEvent* event) override;

private:
    struct Mailbox;
    std::shared_ptr<Mailbox> mailbox_;
    std::shared_ptr<ListingJob> job_;
    BatchHandler onBatch_;
    bool finished_ = false;
};

} // namespace dw::platform
