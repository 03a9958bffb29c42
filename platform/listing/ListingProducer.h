// SPDX-License-Identifier: MIT
#pragma once
// Lists folders off the thread that asks. Every volume has a line of its
// own, served by its own worker thread: a network share whose server
// stopped answering holds up only listings of that share, never the
// caller and never another volume. A listing can be cancelled at any time;
// a cancelled one delivers nothing more.
//
// Workers are started when a volume is first listed and end after a while
// without work. At exit, workers still stuck in a call that does not return
// are abandoned rather than waited for.

#include "platform/listing/ListingWork.h"

#include <atomic>
#include <memory>

namespace dw::platform {

class ListingJob {
public:
    void cancel() { cancelled_.store(true, std::memory_order_relaxed); }
    bool cancelled() const { return cancelled_.load(std::memory_order_relaxed); }
    const std::atomic<bool>* flag() const { return &cancelled_; }

private:
    std::atomic<bool> cancelled_{false};
};

// Work for a volume's line; it looks at the flag where it can stop early.
using LineWork = std::function<void(const std::atomic<bool>& cancelled)>;

class ListingProducer {
public:
    static ListingProducer& instance();
    ~ListingProducer();

    // Queues `request` on the line of the folder's volume. `sink` gets the
    // batches on the worker thread, in order, the last one marked.
    std::shared_ptr<ListingJob> start(ListingRequest request, BatchSink sink);

    // Queues any other work that may wait on a volume (parsing a path on
    // it, for one) on the line named `volumeKey` (see
    // IShellNamespace::volumeKeyOf). A cancelled job's work does not run.
    std::shared_ptr<ListingJob> run(const std::string& volumeKey, LineWork work);

    // The same listing on the calling thread, for callers that must have
    // every child before they go on.
    static void listNow(const ListingRequest& request, const BatchSink& sink);

    // Workers alive now (tests and benchmarks).
    int workerCount() const;

private:
    ListingProducer();
    struct State;
    std::shared_ptr<State> state_;
};

} // namespace dw::platform
