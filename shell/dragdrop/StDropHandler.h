// SPDX-License-Identifier: MIT
#pragma once
// Carries out a drop without stopping the window: the file work runs on a
// worker thread; the window's thread only watches it. A drop that lasts
// longer than GetProgressDelay() shows a progress dialog whose Cancel stops
// the work between two files, or between two chunks of a large file, and
// removes only the partial copy it was making. At the end, whatever was not
// done is told to the user, item by item, with the reason.
//
// A view calls Drop() from its drop event with the target folder's drop
// target and the paths from DroppedItemsOf(). The handler belongs to the
// parent widget and deletes itself when it has finished; should the widget
// go first, the drop is cancelled and waited for.

#include "platform/fileops/DropTarget.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace dw::platform {
class TransferProgress;
}

class TStDropHandler : public QObject {
    Q_OBJECT
public:
    // Prepares the drop on `target`; when it is not refused, starts it and
    // answers its handler. `effect` comes in as the effects the source
    // allows and goes out as the one the drop has (DROPEFFECT_NONE: refused,
    // and no handler).
    static TStDropHandler* Drop(dw::platform::IDropTarget& target, const std::vector<std::string>& paths,
                                unsigned keyState, unsigned& effect, QWidget* parent);

    // A handler for an operation already prepared; Start() runs it. Reports
    // go through `ui` when given (it must outlive the handler), else through
    // message boxes over `parent`.
    TStDropHandler(std::unique_ptr<dw::platform::IDropOperation> operation, unsigned effect, QWidget* parent,
                   dw::platform::IShellUi* ui = nullptr);
    ~TStDropHandler() override;

    void Start();
    void Cancel();
    // How far the work got; valid for the handler's lifetime.
    const dw::platform::TransferProgress& GetProgress() const;

    int GetProgressDelay() const { return m_progressDelayMs; }
    void SetProgressDelay(int milliseconds) { m_progressDelayMs = milliseconds; }
    // The dialog, once the drop has lasted the delay; null before.
    QProgressDialog* GetProgressDialog() const { return m_dialog; }

signals:
    // The work is over and what was not done has been told; the handler
    // deletes itself next.
    void Finished(const dw::platform::DropOutcome& outcome);

private:
    struct Job;

    void Watch();
    void ShowProgress();
    void UpdateProgress();
    void Finish();

    std::unique_ptr<Job> m_job;
    unsigned m_effect;
    QPointer<QWidget> m_parent;
    dw::platform::IShellUi* m_ui;
    std::unique_ptr<dw::platform::IShellUi> m_ownUi;
    QTimer m_watch;
    QElapsedTimer m_clock;
    int m_progressDelayMs = 1000;
    QPointer<QProgressDialog> m_dialog;
};
