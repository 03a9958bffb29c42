// SPDX-License-Identifier: MIT
#pragma once
// The longest time between two turns of this thread's event loop while it
// runs: the stall a person would see as a frozen window. On a shared,
// loaded machine the wall-clock gap also counts the time other programs had
// the processor, so the meter also tells the most processor time this
// thread itself spent between two turns: the stall the code caused.

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <ctime>

class StallMeter {
public:
    StallMeter()
    {
        clock_.start();
        QObject::connect(&turns_, &QTimer::timeout, [this] {
            const qint64 now = clock_.nsecsElapsed();
            const qint64 cpu = threadCpuNs();
            longest_ = std::max(longest_, now - last_);
            longestCpu_ = std::max(longestCpu_, cpu - lastCpu_);
            last_ = now;
            lastCpu_ = cpu;
        });
        turns_.start(1);
        last_ = clock_.nsecsElapsed();
        lastCpu_ = threadCpuNs();
    }
    // Counting the gap still open now: a call that blocks is a stall too.
    double longestMs() const { return std::max(longest_, clock_.nsecsElapsed() - last_) / 1e6; }
    double longestCpuMs() const { return std::max(longestCpu_, threadCpuNs() - lastCpu_) / 1e6; }
    double elapsedMs() const { return clock_.nsecsElapsed() / 1e6; }

private:
    static qint64 threadCpuNs()
    {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
    }

    QElapsedTimer clock_;
    QTimer turns_;
    qint64 last_ = 0;
    qint64 lastCpu_ = 0;
    qint64 longest_ = 0;
    qint64 longestCpu_ = 0;
};
