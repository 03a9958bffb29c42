// SPDX-License-Identifier: MIT
#pragma once
// The application objects with the exception boundary of
// SsExceptionBoundary.h: TSsApplication for programs with windows (its box
// is a modal message box with an error icon and an OK button, captioned with
// the application's display name), TSsCoreApplication for console programs
// (its "box" is a line "PROGRAM: TEXT" on standard error).

#include "base/application/SsExceptionBoundary.h"

#include <QApplication>
#include <QCoreApplication>

class TSsApplication : public QApplication, public TSsExceptionBoundary {
    Q_OBJECT

public:
    TSsApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

protected:
    QString ErrorCaption() const override; // the display name
};

class TSsCoreApplication : public QCoreApplication, public TSsExceptionBoundary {
    Q_OBJECT

public:
    TSsCoreApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
