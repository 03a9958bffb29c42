// SPDX-License-Identifier: MIT
#include "platform/messagewindow/MessageWindow.h"

#include <QCoreApplication>

#include <mutex>
#include <unordered_map>

namespace dw::platform {
namespace {

// Live windows by handle. Posting holds the lock while it queues the event
// and a window leaves the table (under the lock) before QObject's destructor
// runs, so an event is either queued while the window still exists (and is
// then discarded with its other pending events by ~QObject) or refused.
struct WindowTable {
    std::mutex lock;
    std::unordered_map<WindowHandle, MessageWindow*> windows;
    WindowHandle lastHandle = 0;
};

WindowTable& windowTable()
{
    static WindowTable table;
    return table;
}

} // namespace

MessageWindow::MessageWindow(WindowProc windowProc, QObject* parent)
    : QObject(parent), windowProc_(std::move(windowProc))
{
    auto& table = windowTable();
    std::lock_guard guard(table.lock);
    handle_ = ++table.lastHandle;
    table.windows.emplace(handle_, this);
}

MessageWindow::~MessageWindow()
{
    auto& table = windowTable();
    std::lock_guard guard(table.lock);
    table.windows.erase(handle_);
}

MessageWindow* MessageWindow::fromHandle(WindowHandle handle)
{
    auto& table = windowTable();
    std::lock_guard guard(table.lock);
    const auto found = table.windows.find(handle);
    return found == table.windows.end() ? nullptr : found->second;
}

LRESULT MessageWindow::sendMessage(unsigned message, WPARAM wParam, LPARAM lParam)
{
    if (!windowProc_)
        return DefWindowProc(this, message, wParam, lParam);
    return windowProc_(message, wParam, lParam);
}

bool MessageWindow::event(QEvent* event)
{
    if (event->type() != MessageEvent::eventType())
        return QObject::event(event);
    const auto* message = static_cast<const MessageEvent*>(event);
    if (message->stillWanted())
        sendMessage(message->message(), message->wParam(), message->lParam());
    return true;
}

bool PostMessageEvent(WindowHandle window, std::unique_ptr<MessageEvent> event)
{
    auto& table = windowTable();
    std::lock_guard guard(table.lock);
    const auto found = table.windows.find(window);
    if (found == table.windows.end())
        return false;
    QCoreApplication::postEvent(found->second, event.release());
    return true;
}

bool PostMessage(WindowHandle window, unsigned message, WPARAM wParam, LPARAM lParam)
{
    return PostMessageEvent(window, std::make_unique<MessageEvent>(message, wParam, lParam));
}

bool PostMessage(const MessageWindow* window, unsigned message, WPARAM wParam, LPARAM lParam)
{
    return window != nullptr && PostMessage(window->handle(), message, wParam, lParam);
}

LRESULT DefWindowProc(MessageWindow*, unsigned, WPARAM, LPARAM)
{
    return 0;
}

} // namespace dw::platform
