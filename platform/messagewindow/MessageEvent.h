// SPDX-License-Identifier: MIT
#pragma once
// The posted form of a window message: what PostMessage puts into the Qt event
// queue of a MessageWindow.

#include <QEvent>

#include <cstdint>

namespace dw::platform {

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// First number free for a window's own messages.
inline constexpr unsigned WM_USER = 0x0400;

class MessageEvent : public QEvent {
public:
    MessageEvent(unsigned message, WPARAM wParam, LPARAM lParam);
    ~MessageEvent() override;

    static QEvent::Type eventType();

    unsigned message() const { return message_; }
    // Read when the message is handled, not when it is posted: senders whose
    // wParam points into the event's own storage fill it in their constructor.
    virtual WPARAM wParam() const { return wParam_; }
    LPARAM lParam() const { return lParam_; }

    // Asked just before the window procedure would run: a sender that can be
    // withdrawn after posting (a change registration) answers false to have
    // the message dropped unseen.
    virtual bool stillWanted() const { return true; }

private:
    unsigned message_;
    WPARAM wParam_;
    LPARAM lParam_;
};

} // namespace dw::platform
