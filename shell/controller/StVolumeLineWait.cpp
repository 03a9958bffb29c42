// SPDX-License-Identifier: MIT
#include "shell/controller/StVolumeLineWait.h"

#include "platform/listing/LineCall.h"

#include <QEventLoop>
#include <QCursor>
#include <QGuiApplication>
#include <QTimer>

#include <atomic>
#include <memory>
#include <optional>

using namespace dw::platform;

namespace {

// A wait shorter than this shows no busy cursor: it would only flicker.
constexpr std::chrono::milliseconds kBusyCursorDelay{100};

// Work and the waiter agree once on who goes first: the work begins, or
// the waiter gives up on it before it begins (then it never runs).
enum WorkState : int { Waiting, Begun, GivenUp };

class BusyCursor {
public:
    void show()
    {
        if (!shown_ && qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
            shown_ = true;
        }
    }
    ~BusyCursor()
    {
        if (shown_)
            QGuiApplication::restoreOverrideCursor();
    }

private:
    bool shown_ = false;
};

} // namespace

OffWindowOutcome RunOnVolumeLine(const std::string& volumeKey, const std::function<void()>& work,
                                 std::chrono::milliseconds patience)
{
    auto state = std::make_shared<std::atomic<int>>(Waiting);
    auto guarded = [state, work] {
        int expected = Waiting;
        if (state->compare_exchange_strong(expected, Begun))
            work();
    };
    QEventLoop loop;
    LineCall call(volumeKey, std::move(guarded), [&loop] { loop.quit(); });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(patience);
    BusyCursor cursor;
    QTimer::singleShot(kBusyCursorDelay, &loop, [&cursor] { cursor.show(); });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    // The work may have ended just as the deadline came.
    if (call.done() || call.waitFinished(std::chrono::milliseconds(0)))
        return OffWindowOutcome::Done;
    call.cancel();
    int expected = Waiting;
    return state->compare_exchange_strong(expected, GivenUp) ? OffWindowOutcome::NotBegun
                                                             : OffWindowOutcome::StillRunning;
}
