// SPDX-License-Identifier: MIT
#include "platform/messagewindow/MessageWindow.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace dw::platform {
namespace {

struct Message {
    unsigned message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Message&) const = default;
};

TEST(MessageWindowTest, PostedMessagesAreHandledLaterInPostingOrder)
{
    std::vector<Message> handled;
    MessageWindow window([&](unsigned message, WPARAM wParam, LPARAM lParam) {
        handled.push_back({message, wParam, lParam});
        return LRESULT{0};
    });
    EXPECT_TRUE(PostMessage(&window, WM_USER + 1, 10, -1));
    EXPECT_TRUE(PostMessage(window.handle(), WM_USER + 2, 20, -2));
    EXPECT_TRUE(handled.empty());
    QCoreApplication::sendPostedEvents();
    const std::vector<Message> expected = {{WM_USER + 1, 10, -1}, {WM_USER + 2, 20, -2}};
    EXPECT_EQ(handled, expected);
}

TEST(MessageWindowTest, DestroyedWindowRefusesMessagesAndItsHandleIsNeverReused)
{
    int handled = 0;
    auto window = std::make_unique<MessageWindow>([&](unsigned, WPARAM, LPARAM) {
        ++handled;
        return LRESULT{0};
    });
    const WindowHandle handle = window->handle();
    EXPECT_TRUE(PostMessage(handle, WM_USER, 0, 0));
    window.reset();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(handled, 0) << "pending messages die with the window";

    EXPECT_FALSE(PostMessage(handle, WM_USER, 0, 0));
    EXPECT_EQ(MessageWindow::fromHandle(handle), nullptr);
    MessageWindow next({});
    EXPECT_NE(next.handle(), handle);
    EXPECT_FALSE(PostMessage(static_cast<const MessageWindow*>(nullptr), WM_USER, 0, 0));
}

TEST(MessageWindowTest, WithdrawnMessageIsDroppedUnseen)
{
    class Withdrawn : public MessageEvent {
    public:
        Withdrawn() : MessageEvent(WM_USER, 0, 0) {}
        bool stillWanted() const override { return false; }
    };
    int handled = 0;
    MessageWindow window([&](unsigned, WPARAM, LPARAM) {
        ++handled;
        return LRESULT{0};
    });
    EXPECT_TRUE(PostMessageEvent(window.handle(), std::make_unique<Withdrawn>()));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(handled, 0);
}

TEST(MessageWindowTest, WindowWithoutProcedureAnswersTheDefault)
{
    MessageWindow window({});
    EXPECT_EQ(window.sendMessage(WM_USER, 1, 2), 0);
}

} // namespace
} // namespace dw::platform
