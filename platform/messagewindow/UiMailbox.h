// SPDX-License-Identifier: MIT
#pragma once
// Calls from worker threads to an object on the UI thread. A call posted
// here runs on the receiver's thread, between other events; once the
// mailbox is closed (the receiver goes away, or no longer wants them) no
// call reaches it, whatever the worker is still doing.

#include <QObject>

#include <functional>
#include <memory>
#include <mutex>

namespace dw::platform {

class UiMailbox {
public:
    explicit UiMailbox(QObject* receiver) : receiver_(receiver) {}

    // Thread-safe. Runs `call` on the receiver's thread unless closed by then.
    void post(std::function<void()> call)
    {
        std::lock_guard lock(mutex_);
        if (!receiver_)
            return;
        // Checked again when the call runs: close() may come in between.
        QMetaObject::invokeMethod(
            receiver_,
            [self = weak_from(), call = std::move(call)] {
                if (const auto mailbox = self.lock(); mailbox && mailbox->open())
                    call();
            },
            Qt::QueuedConnection);
    }

    // From the receiver's thread.
    void close()
    {
        std::lock_guard lock(mutex_);
        receiver_ = nullptr;
    }

    bool open()
    {
        std::lock_guard lock(mutex_);
        return receiver_ != nullptr;
    }

    static std::shared_ptr<UiMailbox> make(QObject* receiver)
    {
        auto mailbox = std::make_shared<UiMailbox>(receiver);
        mailbox->self_ = mailbox;
        return mailbox;
    }

private:
    std::weak_ptr<UiMailbox> weak_from() const { return self_; }

    std::mutex mutex_;
    QObject* receiver_;
    std::weak_ptr<UiMailbox> self_;
};

} // namespace dw::platform
