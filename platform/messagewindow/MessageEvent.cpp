// SPDX-License-Identifier: MIT
#include "platform/messagewindow/MessageEvent.h"

namespace dw::platform {

MessageEvent::MessageEvent(unsigned message, WPARAM wParam, LPARAM lParam)
    : QEvent(eventType()), message_(message), wParam_(wParam), lParam_(lParam)
{
}

MessageEvent::~MessageEvent() = default;

QEvent::Type MessageEvent::eventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

} // namespace dw::platform
