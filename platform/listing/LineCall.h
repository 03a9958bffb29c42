// SPDX-License-Identifier: MIT
#pragma once
// Work that may wait on a volume, run on that volume's line of the listing
// producer, with its result taken on the asking thread. The asker may wait
// a little for quick work and have the result at once; slower work hands
// its result over through the asker's event loop. Cancelled or destroyed,
// it hands nothing over.

#include "platform/listing/ListingProducer.h"
#include "platform/messagewindow/UiMailbox.h"

#include <QObject>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace dw::platform {

class LineCall : public QObject {
public:
    // `work` runs on the worker of `volumeKey`'s line; `then` runs on this
    // object's thread once it is done (from waitFinished, or later from
    // the event loop).
    LineCall(const std::string& volumeKey, std::function<void()> work, std::function<void()> then,
             QObject* parent = nullptr);
    ~LineCall() override;

    // Blocks for at most `timeout`; true (and `then` called) when the work
    // ended in time.
    bool waitFinished(std::chrono::milliseconds timeout);
    void cancel();
    bool done() const { return handedOn_; }
    // Once `then` has run (or thrown), the call deletes itself later: for
    // calls owned by their Qt parent that nobody waits for.
    void SetDeleteWhenDone(bool value) { deleteWhenDone_ = value; }

private:
    struct State;
    void handOn();

    std::shared_ptr<State> state_;
    std::shared_ptr<UiMailbox> mailbox_;
    std::shared_ptr<ListingJob> job_;
    std::function<void()> then_;
    bool handedOn_ = false;
    bool deleteWhenDone_ = false;
};

// Parses a desktop parsing name on the line of its volume; `done` gets the
// absolute id list, null when the name does not parse.
std::unique_ptr<LineCall> parseOffThread(const std::string& name, std::function<void(IdListPtr result)> done,
                                         QObject* parent = nullptr);

} // namespace dw::platform
