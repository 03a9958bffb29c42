// SPDX-License-Identifier: MIT
#include "tests/support/qt/EventLoopWaiting.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace dw::test {

void processEventsUntil(const std::function<bool()>& done, qint64 patienceMs, qint64 settleMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < patienceMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    const qint64 settleUntil = clock.elapsed() + settleMs;
    while (clock.elapsed() < settleUntil)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

} // namespace dw::test
