// SPDX-License-Identifier: MIT
#pragma once
// Lets the probe's views work for a while, as a window's event loop would.

#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>

// Processes events for `milliseconds`, or until `until` says it is done.
inline void processEventsFor(int milliseconds, const std::function<bool()>& until = {})
{
    QElapsedTimer timer;
    timer.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    } while (timer.elapsed() < milliseconds && !(until && until()));
}
