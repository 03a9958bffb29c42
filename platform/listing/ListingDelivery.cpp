#include "platform/listing/ListingDelivery.h"

#include <QCoreApplication>
#include <QEvent>

#include <mutex>

namespace dw::platform {

namespace {

const QEvent::Type kBatchEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class BatchEvent : public QEvent {
public:
    explicit BatchEvent(ListingBatch&& batch) : QEvent(kBatchEvent), batch(std::move(batch)) {}
    ListingBatch batch;
};

} // namespace

// Where the worker posts. The receiver is taken out under the lock when it
// goes, so a post never reaches an object being destroyed.
struct ListingDelivery::Mailbox {
    std::mutex mutex;
    ListingDelivery* receiver = nullptr;

    void post(ListingBatch&& batch)
    {
        std::lock_guard lock(mutex);
        if (receiver)
            QCoreApplication::postEvent(receiver, std::make_unique<BatchEvent>(std::move(batch)).release());
    }

    void close()
    {
        std::lock_guard lock(mutex);
        receiver = nullptr;
    }
};

ListingDelivery::ListingDelivery(ListingRequest request, BatchHandler onBatch, QObject* parent)
    : QObject(parent), mailbox_(std::make_shared<Mailbox>()), onBatch_(std::move(onBatch))
{
    mailbox_->receiver = this;
    job_ = ListingProducer::instance().start(std::move(request), [mailbox = mailbox_](ListingBatch&& batch) {
        mailbox->post(std::move(batch));
    });
}

ListingDelivery::~ListingDelivery()
{
    cancel();
}

void ListingDelivery::cancel()
{
    if (job_)
        job_->cancel();
    mailbox_->close();
}

bool ListingDelivery::event(QEvent* event)
{
    if (event->type() != kBatchEvent)
        return QObject::event(event);
    auto* batchEvent = static_cast<BatchEvent*>(event);
    if (cancelled() || finished_)
        return true;
    finished_ = batchEvent->batch.last;
    if (onBatch_)
        onBatch_(std::move(batchEvent->batch));
    return true;
}

} // namespace dw::platform
