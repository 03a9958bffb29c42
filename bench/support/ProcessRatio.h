// SPDX-License-Identifier: MIT
#pragma once
// Two commands timed side by side: run alternately, several times, on a
// shared and noisy machine; the medians and their ratio are what count.

#include <QString>
#include <QStringList>

struct TimedCommand {
    QString program;
    QStringList arguments;
};

struct RatioFigures {
    double medianSeconds = 0;          // of the command measured
    double referenceMedianSeconds = 0; // of the reference
    double ratio() const { return referenceMedianSeconds > 0 ? medianSeconds / referenceMedianSeconds : 0; }
};

// Runs each command `runs` times, interleaved, output thrown away.
RatioFigures timeSideBySide(const TimedCommand& measured, const TimedCommand& reference, int runs);

// How many openat calls `command` makes, counted by strace; -1 when strace
// is not installed.
long countOpenatCalls(const TimedCommand& command);
