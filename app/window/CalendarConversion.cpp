// SPDX-License-Identifier: MIT
#include "app/window/CalendarConversion.h"

#include "platform/files/Folder.h"
#include "platform/namespace/DisplayText.h"
#include "platform/listing/LineCall.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <atomic>
#include <mutex>

namespace dw::window {

using namespace dw::convert;

namespace {

constexpr int kProgressIntervalMs = 100;

} // namespace

// What the worker and the window's thread share; the worker touches
// nothing else of the window's.
struct TCalendarConversion::Shared : ConversionObserver {
    std::atomic<bool> started{false};
    std::atomic<bool> stop{false};
    std::atomic<int> filesDone{0};

    std::mutex mutex;
    std::string currentName;
    std::vector<std::string> writtenPaths;
    Outcome outcome;

    void calendarWritten(const std::string& path) override
    {
        std::lock_guard lock(mutex);
        writtenPaths.push_back(path);
    }

    void convert(const std::string& shownFolder, const std::string& localFolder,
                 const std::vector<std::string>& names, const ConversionOptions& options)
    {
        started = true;
        ConversionRun run(options, this);
        try {
            int error = 0;
            // A folder that cannot be opened has no calendar that can be
            // read: each is skipped, as one that cannot be read is.
            if (const auto folder = platform::Folder::open(localFolder, error)) {
                for (const std::string& name : names) {
                    if (stop) {
                        outcome.cancelled = true;
                        break;
                    }
                    {
                        std::lock_guard lock(mutex);
                        currentName = name;
                    }
                    // One name at a time, so that a stop comes between two
                    // files; the calendars converted still go to disk
                    // together.
                    run.convertIn(folder, shownFolder, {name});
                    ++filesDone;
                }
                run.finish();
            }
        } catch (...) {
            outcome.failure = std::current_exception();
        }
        outcome.filesWritten = run.filesWritten();
    }
};

TCalendarConversion::TCalendarConversion(std::string shownFolder, std::string localFolder, std::string volumeKey,
                                         std::vector<std::string> names, QWidget* window)
    : m_shownFolder(std::move(shownFolder))
    , m_localFolder(std::move(localFolder))
    , m_volumeKey(std::move(volumeKey))
    , m_names(std::move(names))
    , m_window(window)
    , m_shared(std::make_shared<Shared>())
{
}

TCalendarConversion::~TCalendarConversion()
{
    delete m_dialog.data();
}

TCalendarConversion::Outcome TCalendarConversion::Run()
{
    QApplication::setOverrideCursor(Qt::BusyCursor);
    auto work = [shared = m_shared, shown = m_shownFolder, local = m_localFolder, names = m_names,
                 options = m_options] { shared->convert(shown, local, names, options); };
    m_call = std::make_unique<platform::LineCall>(m_volumeKey, std::move(work), [this] {
        m_workDone = true;
        Ended();
    });
    QTimer::singleShot(m_progressDelayMs, this, [this] {
        if (m_loop)
            m_loop->quit();
    });
    WaitWhile(false);
    QApplication::restoreOverrideCursor();
    if (!m_ended) {
        ShowProgress();
        WaitWhile(true);
    }
    m_window->removeEventFilter(this);
    delete m_dialog.data();
    m_call.reset();

    if (!m_workDone)
        return Outcome{0, {}, nullptr, true}; // cancelled before it started
    std::lock_guard lock(m_shared->mutex);
    Outcome outcome = m_shared->outcome;
    for (const std::string& path : m_shared->writtenPaths)
        outcome.writtenNames.push_back(path.substr(m_shownFolder.size()));
    return outcome;
}

void TCalendarConversion::WaitWhile(bool acceptInput)
{
    if (m_ended)
        return;
    QEventLoop loop;
    m_loop = &loop;
    loop.exec(acceptInput ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    m_loop = nullptr;
}

void TCalendarConversion::Ended()
{
    m_ended = true;
    if (m_loop)
        m_loop->quit();
}

void TCalendarConversion::Cancel()
{
    m_shared->stop = true;
    if (!m_shared->started && m_call) {
        // Still waiting for its line (a disk that does not answer): it
        // never starts.
        m_call->cancel();
        Ended();
        return;
    }
    if (m_dialog)
        m_dialog->setLabelText(QStringLiteral("Stopping after the current file…"));
}

void TCalendarConversion::ShowProgress()
{
    m_dialog = new QProgressDialog(m_window); // deleted when the run ends
    m_dialog->setWindowTitle(QStringLiteral("Converting"));
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setMinimumDuration(0);
    m_dialog->setRange(0, static_cast<int>(m_names.size()));
    connect(m_dialog, &QProgressDialog::canceled, this, &TCalendarConversion::Cancel);
    auto* watch = new QTimer(m_dialog);
    connect(watch, &QTimer::timeout, this, &TCalendarConversion::UpdateProgress);
    watch->start(kProgressIntervalMs);
    UpdateProgress();
    m_dialog->show();
    // A click on the window makes the window manager activate it, and the
    // keys would then go to a window that takes no input: the dialog takes
    // the focus back, so that Esc still cancels.
    m_window->installEventFilter(this);
}

bool TCalendarConversion::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && event->type() == QEvent::WindowActivate && m_dialog && m_dialog->isVisible()) {
        QTimer::singleShot(0, m_dialog, [dialog = m_dialog] {
            if (dialog) {
                dialog->raise();
                dialog->activateWindow();
            }
        });
    }
    return QObject::eventFilter(watched, event);
}

void TCalendarConversion::UpdateProgress()
{
    if (!m_dialog || m_shared->stop)
        return;
    const int done = m_shared->filesDone;
    m_dialog->setValue(done);
    std::string name;
    {
        std::lock_guard lock(m_shared->mutex);
        name = m_shared->currentName;
    }
    m_dialog->setLabelText(
        name.empty() ? QStringLiteral("Waiting for the disk…")
                     : QStringLiteral("Converting \"%1\" (%2 of %3)")
                           .arg(platform::displayQStringFromBytes(name))
                           .arg(std::min<std::size_t>(std::size_t(done) + 1, m_names.size()))
                           .arg(m_names.size()));
}

} // namespace dw::window
