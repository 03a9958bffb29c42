// SPDX-License-Identifier: MIT
#include "base/application/SsExceptionBoundary.h"

#include "base/exceptions/SsMessageText.h"

#include <QCoreApplication>
#include <QThread>

#include <new>

TSsExceptionBoundary::TSsExceptionBoundary(ErrorBox defaultBox)
    : m_defaultBox(std::move(defaultBox)), m_errorBox(m_defaultBox)
{
}

QString TSsExceptionBoundary::ExceptionText(std::exception_ptr error)
{
    std::string message = kUnknownErrorText;
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        message = "Out of memory";
    } catch (const std::exception& exception) {
        message = exception.what();
    } catch (...) {
    }
    return QString::fromStdString(SsWithFullStop(message));
}

void TSsExceptionBoundary::HandleException(std::exception_ptr error)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!error || !application)
        return;
    if (QThread::currentThread() != application->thread()) {
        // A box belongs to the thread of the windows.
        QMetaObject::invokeMethod(application, [this, error] { HandleException(error); }, Qt::QueuedConnection);
        return;
    }
    const QString text = ExceptionText(error);
    // A handler that fails again while a box is open (a paint under the box)
    // waits for the box to close instead of stacking boxes; the same text
    // already waiting is not queued twice.
    if (m_pendingTexts.empty() || m_pendingTexts.back() != text)
        m_pendingTexts.push_back(text);
    if (!m_showing)
        ShowQueuedErrors();
}

void TSsExceptionBoundary::ShowQueuedErrors()
{
    m_showing = true;
    while (!m_pendingTexts.empty()) {
        const QString text = m_pendingTexts.front();
        m_pendingTexts.pop_front();
        const ErrorBox box = m_errorBox; // the box may replace itself while it shows
        try {
            box(ErrorCaption(), text);
        } catch (...) {
            // A box that cannot show its message has nothing better to show.
        }
    }
    m_showing = false;
}

QString TSsExceptionBoundary::ErrorCaption() const
{
    return QCoreApplication::applicationName();
}

void TSsExceptionBoundary::SetErrorBox(ErrorBox box)
{
    m_errorBox = box ? std::move(box) : m_defaultBox;
}
