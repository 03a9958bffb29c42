// SPDX-License-Identifier: MIT
#pragma once
// One press of "Convert Selected", run off the window's thread. The engine
// converts the selected calendars in list order on the line of their volume;
// the window's thread meanwhile goes on handling its events (it repaints,
// follows the disk), but not the user's input: for the first moment that
// input waits, and a run that lasts longer than the progress delay shows a
// window-modal progress dialog whose Cancel (or Esc: it keeps the focus
// whatever is clicked) stops the run between two files.
// Every calendar converted before the stop is put in place and counted.

#include "app/convert/ConversionRun.h"

#include <QObject>
#include <QPointer>
#include <QProgressDialog>

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <vector>

class QEventLoop;
class QWidget;

namespace dw::platform {
class LineCall;
}

namespace dw::window {

class TCalendarConversion : public QObject {
public:
    struct Outcome {
        std::int32_t filesWritten = 0;
        std::vector<std::string> writtenNames; // bare names, in the order they were put in place
        std::exception_ptr failure;            // the write that stopped the run
        bool cancelled = false;
    };

    // `shownFolder` is the current folder as the user knows it (messages
    // name files below it), `localFolder` where it is in the file system;
    // both end with "/".
    TCalendarConversion(std::string shownFolder, std::string localFolder, std::string volumeKey,
                        std::vector<std::string> names, QWidget* window);
    ~TCalendarConversion() override;

    void SetProgressDelay(int milliseconds) { m_progressDelayMs = milliseconds; }
    void SetOptions(const convert::ConversionOptions& options) { m_options = options; }

    // Runs the conversion; returns once it has ended.
    Outcome Run();
    // Asks the run to stop before the next file.
    void Cancel();
    // The progress dialog while it shows; null otherwise.
    QProgressDialog* ProgressDialog() const { return m_dialog; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Shared;

    void WaitWhile(bool acceptInput);
    void Ended();
    void ShowProgress();
    void UpdateProgress();

    std::string m_shownFolder;
    std::string m_localFolder;
    std::string m_volumeKey;
    std::vector<std::string> m_names;
    QWidget* m_window;
    std::shared_ptr<Shared> m_shared;
    convert::ConversionOptions m_options;
    int m_progressDelayMs = 1000;
    std::unique_ptr<platform::LineCall> m_call;
    QEventLoop* m_loop = nullptr;
    QPointer<QProgressDialog> m_dialog;
    bool m_ended = false;
    bool m_workDone = false;
};

} // namespace dw::window
