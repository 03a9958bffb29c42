// SPDX-License-Identifier: MIT
#include "bench/support/ProcessRatio.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <algorithm>
#include <vector>

namespace {

double secondsOf(const TimedCommand& command)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(command.program, command.arguments);
    process.waitForFinished(-1);
    return timer.nsecsElapsed() / 1e9;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace

RatioFigures timeSideBySide(const TimedCommand& measured, const TimedCommand& reference, int runs)
{
    secondsOf(measured); // warm the cache for both
    secondsOf(reference);
    std::vector<double> ours;
    std::vector<double> theirs;
    for (int run = 0; run < runs; ++run) {
        ours.push_back(secondsOf(measured));
        theirs.push_back(secondsOf(reference));
    }
    return {median(ours), median(theirs)};
}

long countOpenatCalls(const TimedCommand& command)
{
    const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
    if (strace.isEmpty())
        return -1;
    QTemporaryFile summary;
    if (!summary.open())
        return -1;
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(strace, QStringList{QStringLiteral("-f"), QStringLiteral("-c"), QStringLiteral("-e"),
                                      QStringLiteral("trace=openat"), QStringLiteral("-o"), summary.fileName(),
                                      command.program}
                              + command.arguments);
    process.waitForFinished(-1);
    // The summary's row: "% time seconds usecs/call calls errors syscall".
    const QString text = QString::fromLocal8Bit(summary.readAll());
    const QRegularExpressionMatch row =
        QRegularExpression(QStringLiteral("^\\s*[\\d.]+\\s+[\\d.]+\\s+\\d+\\s+(\\d+)\\s+(?:\\d+\\s+)?openat\\s*$"),
                           QRegularExpression::MultilineOption)
            .match(text);
    return row.hasMatch() ? row.captured(1).toLong() : -1;
}
