// SPDX-License-Identifier: MIT
#include "base/application/SsApplication.h"

#include <QMessageBox>

#include <iostream>

namespace {

void ShowMessageBox(const QString& caption, const QString& text)
{
    // No parent: a window destroyed while the box is open cannot take the
    // box with it.
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok);
    box.exec();
}

void WriteToStandardError(const QString& program, const QString& text)
{
    std::cerr << program.toStdString() << ": " << text.toStdString() << std::endl;
}

} // namespace

TSsApplication::TSsApplication(int& argc, char** argv)
    : QApplication(argc, argv), TSsExceptionBoundary(ShowMessageBox)
{
}

bool TSsApplication::notify(QObject* receiver, QEvent* event)
{
    return Guard([&] { return QApplication::notify(receiver, event); });
}

QString TSsApplication::ErrorCaption() const
{
    return applicationDisplayName();
}

TSsCoreApplication::TSsCoreApplication(int& argc, char** argv)
    : QCoreApplication(argc, argv), TSsExceptionBoundary(WriteToStandardError)
{
}

bool TSsCoreApplication::notify(QObject* receiver, QEvent* event)
{
    return Guard([&] { return QCoreApplication::notify(receiver, event); });
}
