// SPDX-License-Identifier: MIT
#pragma once
// The rule for an exception that leaves an event handler (a click, a timer,
// a queued call, a change report): it is caught where the application
// delivers the event, shown in the application's error box, and the program
// goes on with the next event instead of leaving its event loop.
//
// The box shows the exception's message with a full stop added when it ends
// with a character that sorts after "." (SsMessageText.h) and has the
// application's display name as caption. Any std::exception shows its
// what(): the ESsException family, the conversion engine's errors and the
// standard library's alike; anything else shows a generic text.
//
// The application classes (SsApplication.h) deliver every event through
// Guard().

#include <QString>

#include <cxxabi.h>
#include <deque>
#include <exception>
#include <functional>

class TSsExceptionBoundary {
public:
    // Shows one message, with its caption.
    using ErrorBox = std::function<void(const QString& caption, const QString& text)>;

    static constexpr const char* kUnknownErrorText = "An unexpected error occurred";

    explicit TSsExceptionBoundary(ErrorBox defaultBox);
    virtual ~TSsExceptionBoundary() = default;

    // Runs `deliver` (which answers what event delivery answers); an
    // exception that leaves it is shown and the answer is false.
    template <typename Delivery>
    bool Guard(Delivery deliver)
    {
        try {
            return deliver();
        } catch (abi::__forced_unwind&) {
            throw; // a cancelled thread must finish unwinding
        } catch (...) {
            HandleException(std::current_exception());
            return false;
        }
    }

    // Shows `error` in the error box; for errors caught outside the event
    // loop too (before exec(), for example). From another thread the box is
    // shown on the application's thread once its loop gets there.
    void HandleException(std::exception_ptr error);

    // The text the box shows for `error`.
    static QString ExceptionText(std::exception_ptr error);

    // Replaces the box (tests must not block on a modal box; a console
    // program writes the text instead); an empty function restores the
    // default.
    void SetErrorBox(ErrorBox box);

protected:
    // The box's caption: the application's name.
    virtual QString ErrorCaption() const;

private:
    void ShowQueuedErrors();

    ErrorBox m_defaultBox;
    ErrorBox m_errorBox;
    std::deque<QString> m_pendingTexts;
    bool m_showing = false;
};
