// SPDX-License-Identifier: MIT
#pragma once
// The longest time between two turns of this thread's event loop while it
// runs: the stall a person would see as a frozen window.

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

class StallMeter {
public:
    StallMeter()
    {
        clock_.start();
        QObject::connect(&turns_, &QTimer::timeout, [this] {
            const qint64 now = clock_.nsecsElapsed();
            longest_ = std::max(longest_, now - last_);
            last_ = now;
        });
        turns_.start(1);
        last_ = clock_.nsecsElapsed();
    }
    // Counting the gap still open now: a call that blocks is a stall too.
    double longestMs() const { return std::max(longest_, clock_.nsecsElapsed() - last_) / 1e6; }
    double elapsedMs() const { return clock_.nsecsElapsed() / 1e6; }

private:
    QElapsedTimer clock_;
    QTimer turns_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
};
