// SPDX-License-Identifier: MIT
#include "shell/dragdrop/StDropHandler.h"

#include "platform/contextmenu/QtShellUi.h"
#include "platform/fileops/TransferProgress.h"

#include <QProgressDialog>
#include <QWidget>

#include <algorithm>
#include <atomic>
#include <thread>

using namespace dw::platform;

namespace {

constexpr int kWatchIntervalMs = 50;
constexpr int kProgressSteps = 1000;

QString activityOf(unsigned effect)
{
    switch (effect) {
    case DROPEFFECT_MOVE:
        return QStringLiteral("Moving");
    case DROPEFFECT_LINK:
        return QStringLiteral("Linking");
    default:
        return QStringLiteral("Copying");
    }
}

QString progressLabel(unsigned effect, const TransferProgress::Snapshot& now)
{
    if (now.measuring || now.item == 0)
        return QStringLiteral("Preparing…");
    return QStringLiteral("%1 \"%2\" (%3 of %4)")
        .arg(activityOf(effect), QString::fromStdString(now.itemName))
        .arg(now.item)
        .arg(now.itemCount);
}

} // namespace

// What the worker thread and the window share; the worker touches nothing else.
struct TStDropHandler::Job {
    std::unique_ptr<IDropOperation> operation;
    TransferProgress progress;
    DropOutcome outcome;
    std::atomic<bool> finished{false};
    std::thread worker;
};

TStDropHandler* TStDropHandler::Drop(IDropTarget& target, const std::vector<std::string>& paths, unsigned keyState,
                                     unsigned& effect, QWidget* parent)
{
    std::unique_ptr<IDropOperation> operation;
    if (target.PrepareDrop(paths, keyState, effect, operation) != S_OK || !operation) {
        effect = DROPEFFECT_NONE;
        return nullptr;
    }
    // Owned by `parent`; without one it deletes itself when finished.
    auto* handler = new TStDropHandler(std::move(operation), effect, parent);
    handler->Start();
    return handler;
}

TStDropHandler::TStDropHandler(std::unique_ptr<IDropOperation> operation, unsigned effect, QWidget* parent,
                               IShellUi* ui)
    : QObject(parent), m_job(std::make_unique<Job>()), m_effect(effect), m_parent(parent), m_ui(ui)
{
    m_job->operation = std::move(operation);
    if (!m_ui) {
        m_ownUi = std::make_unique<QtShellUi>(parent);
        m_ui = m_ownUi.get();
    }
    m_watch.setInterval(kWatchIntervalMs);
    connect(&m_watch, &QTimer::timeout, this, &TStDropHandler::Watch);
}

TStDropHandler::~TStDropHandler()
{
    if (m_job->worker.joinable()) {
        m_job->progress.requestCancel();
        m_job->worker.join();
    }
    delete m_dialog.data(); // null once its parent widget took it along
}

void TStDropHandler::Start()
{
    if (m_job->worker.joinable() || m_job->finished.load())
        return;
    m_clock.start();
    Job* job = m_job.get();
    job->worker = std::thread([job] {
        job->outcome = job->operation->Run(job->progress);
        job->finished.store(true);
    });
    m_watch.start();
}

void TStDropHandler::Cancel()
{
    m_job->progress.requestCancel();
}

const TransferProgress& TStDropHandler::GetProgress() const
{
    return m_job->progress;
}

void TStDropHandler::Watch()
{
    if (m_job->finished.load()) {
        Finish();
        return;
    }
    if (!m_dialog && m_clock.elapsed() >= m_progressDelayMs && !m_job->progress.cancelRequested())
        ShowProgress();
    if (m_dialog)
        UpdateProgress();
}

void TStDropHandler::ShowProgress()
{
    m_dialog = new QProgressDialog(m_parent); // owned by the parent widget, or deleted here
    m_dialog->setWindowTitle(activityOf(m_effect));
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setMinimumDuration(0);
    m_dialog->setRange(0, kProgressSteps);
    connect(m_dialog, &QProgressDialog::canceled, this, &TStDropHandler::Cancel);
    UpdateProgress();
    m_dialog->show();
}

void TStDropHandler::UpdateProgress()
{
    const TransferProgress::Snapshot now = m_job->progress.snapshot();
    m_dialog->setLabelText(progressLabel(m_effect, now));
    if (now.measuring) {
        m_dialog->setRange(0, 0); // busy until the size is known
        return;
    }
    m_dialog->setRange(0, kProgressSteps);
    const std::uint64_t done = std::min(now.done, now.total);
    m_dialog->setValue(now.total == 0 ? 0 : static_cast<int>(done * kProgressSteps / now.total));
}

void TStDropHandler::Finish()
{
    m_watch.stop();
    m_job->worker.join();
    delete m_dialog.data();
    if (const std::string report = m_job->outcome.message(); !report.empty())
        m_ui->showError(m_job->outcome.title, report);
    emit Finished(m_job->outcome);
    deleteLater();
}
