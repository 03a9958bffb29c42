// SPDX-License-Identifier: MIT
#pragma once
// The hidden message window: an invisible object living on the thread that
// made it (the UI thread) to which messages are posted from anywhere and on
// which they are handled one by one, in posting order, by its window
// procedure. Each window has a handle that is never reused, so a message
// posted to a window that has since been destroyed is refused instead of
// reaching whatever lives at the old address.

#include "platform/messagewindow/MessageEvent.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>

namespace dw::platform {

using WindowHandle = std::uint64_t; // 0 = no window

class MessageWindow : public QObject {
    Q_OBJECT
public:
    using WindowProc = std::function<LRESULT(unsigned message, WPARAM wParam, LPARAM lParam)>;

    explicit MessageWindow(WindowProc windowProc, QObject* parent = nullptr);
    ~MessageWindow() override;

    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    WindowHandle handle() const { return handle_; }

    // Runs the window procedure now, on the caller's thread.
    LRESULT sendMessage(unsigned message, WPARAM wParam, LPARAM lParam);

    // The live window with this handle, or null. Only meaningful on the
    // window's own thread (another thread may see it destroyed at any time).
    static MessageWindow* fromHandle(WindowHandle handle);

protected:
    bool event(QEvent* event) override;

private:
    WindowProc windowProc_;
    WindowHandle handle_;
};

// Queues `event` for the window; takes the event in every case. False when
// the window no longer exists (the event is then freed at once).
bool PostMessageEvent(WindowHandle window, std::unique_ptr<MessageEvent> event);

// Queues a plain message. False when the window no longer exists.
bool PostMessage(WindowHandle window, unsigned message, WPARAM wParam, LPARAM lParam);
bool PostMessage(const MessageWindow* window, unsigned message, WPARAM wParam, LPARAM lParam);

// The answer for messages a window procedure does not handle.
LRESULT DefWindowProc(MessageWindow* window, unsigned message, WPARAM wParam, LPARAM lParam);

} // namespace dw::platform
