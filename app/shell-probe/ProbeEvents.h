// SPDX-License-Identifier: MIT
#pragma once
// Lets the probe's views work for a while, as a window's event loop would.

#include "ProbeOutput.h"
#include "base/application/SsExceptionBoundary.h"
#include "base/exceptions/SsBase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>

#include <functional>
#include <ostream>
#include <vector>

// Processes events for `milliseconds`, or until `until` says it is done.
inline void processEventsFor(int milliseconds, const std::function<bool()>& until = {})
{
    QElapsedTimer timer;
    timer.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    } while (timer.elapsed() < milliseconds && !(until && until()));
}

// Opens a view's folder with `open`, lets events run until `done` (or a
// minute) and then `waitMs` more, and prints the first failure on `err`:
// one found late, on a volume that answered slowly, comes through the
// application's error box. Answers whether the folder opened.
inline bool openAndSettle(const std::function<void()>& open, const std::function<bool()>& done, int waitMs,
                          std::ostream& err)
{
    constexpr int kPatienceMs = 60000; // a view that takes longer is printed as it stands
    std::vector<QString> failures;
    auto* boundary = dynamic_cast<TSsExceptionBoundary*>(QCoreApplication::instance());
    if (boundary)
        boundary->SetErrorBox([&failures](const QString&, const QString& text) { failures.push_back(text); });
    try {
        open();
        processEventsFor(kPatienceMs, [&] { return done() || !failures.empty(); });
        if (failures.empty())
            processEventsFor(waitMs);
    } catch (const ESsInvalidFolder&) {
        failures.push_back(QString::fromStdString(invalidFolderText()));
    }
    if (boundary)
        boundary->SetErrorBox({});
    if (failures.empty())
        return true;
    err << (failures.front().startsWith(QString::fromStdString(invalidFolderText())) ? invalidFolderText()
                                                                                      : failures.front().toStdString())
        << "\n";
    return false;
}
