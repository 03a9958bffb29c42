// SPDX-License-Identifier: MIT
#pragma once
// The converter's main window: a folder tree on the left, the calendars of
// the selected file-system folder on the right, "Select All" and "Convert
// Selected" below. Creating it reads the default calendar folder; showing it
// opens the tree there. The folder's calendars are listed, checked and
// converted off the window's thread, so that neither a folder of 100,000
// entries nor a server that stopped answering freezes the window.

#include "app/convert/ConversionRun.h"
#include "app/settings/StartupArgument.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TStShellFolder;
class TStShellTreeView;
class QProgressDialog;

namespace dw::platform {
class LineCall;
}

namespace dw::window {

class TCalendarBox;
class TCalendarListing;
class TCalendarMarks;
class TCalendarConversion;
class TStatusPanel;

class TForm1 : public QWidget {
public:
    // Shows one message with an OK button: (window, caption, text).
    using MessageBox = std::function<void(QWidget* window, const QString& caption, const QString& text)>;

    // Without a start place the window opens at the stored default calendar
    // folder; with one (from the command line) at that folder instead, with
    // its file selected once listed.
    explicit TForm1(const app::StartupArgument& startPlace = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    // The controls, in the order of their tab stops; the window owns them.
    QFrame* TopPanel;
    QLabel* Label1;
    TStatusPanel* StatusPanel;
    QFrame* MainPanel;
    TStShellTreeView* ShellTree;
    QSplitter* Splitter1;
    TCalendarBox* CalendarBox;
    QFrame* ButtonPanel;
    QPushButton* SelectBtn;
    QPushButton* ConvertBtn;

    // Handlers.
    void FormCreate(QObject* Sender);
    void FormShow(QObject* Sender);
    void ShellTreeFolderSelected(QObject* Sender, TStShellFolder* Folder);
    void SelectBtnClick(QObject* Sender);
    void ConvertBtnClick(QObject* Sender);

    // The folder whose calendars are listed, as the user knows it; once a
    // folder was selected it ends with "/".
    const std::string& CurrentFolder() const { return m_currentFolder; }
    // The listed names, in list order, exact bytes.
    std::vector<std::string> ListedNames() const;
    bool IsListing() const { return m_listing != nullptr; }
    bool IsMarking() const { return m_marks != nullptr; }
    bool IsConverting() const { return m_conversion != nullptr; }
    // Whether the start place is still being looked up (its disk has not
    // answered yet).
    bool IsOpeningStart() const { return m_startCheck != nullptr; }

    // For tests and benchmarks: the box that tells the count, how long a
    // run goes before it shows its progress, the engine's system calls.
    void SetMessageBox(MessageBox box);
    void SetProgressDelay(int milliseconds) { m_progressDelayMs = milliseconds; }
    // How long the start place may keep its disk silent before the status
    // panel says it cannot be reached.
    void SetNoAnswerDelay(int milliseconds) { m_noAnswerDelayMs = milliseconds; }
    void SetConversionOptions(const convert::ConversionOptions& options) { m_conversionOptions = options; }
    // The conversion's progress dialog while it shows; null otherwise.
    QProgressDialog* ProgressDialog() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The controls of the window, as its layout describes them.
    void CreateControls();
    void ConfigureShellTree();
    void SetTabOrder();
    void CentreOnScreen();

    // The start place (MainStart.cpp).
    void OpenStartPlace();
    void ExamineStartPlace(const std::string& shownPath, std::function<app::StartupArgument()> examine);
    void StartPlaceExamined(const app::StartupArgument& place);
    void ShowStartStatus(const QString& suffix);
    void ForgetStartPlace();
    bool IsTreesOwnStartPick(TStShellFolder& Folder) const;

    // The list.
    void RebuildList();
    void ListingEnded();
    void StartMarks();
    void MarksEnded();
    void SelectStartFile();
    void ShowStatus();
    void MarkWritten(const std::vector<std::string>& names);

    std::string m_currentFolder;
    app::StartupArgument m_startPlace;
    std::string m_localFolder;      // where the listed folder is in the file system
    std::string m_volumeKey;        // the producer's line of its volume
    std::unique_ptr<TCalendarListing> m_listing;
    std::unique_ptr<TCalendarMarks> m_marks;
    TCalendarConversion* m_conversion = nullptr;
    MessageBox m_messageBox;
    int m_progressDelayMs = 1000;
    convert::ConversionOptions m_conversionOptions;
    bool m_closeAfterRun = false;
    bool m_noFolderChosen = false; // since the window showed
    std::unique_ptr<platform::LineCall> m_startCheck;
    std::string m_startPath; // as the user gave it
    int m_noAnswerDelayMs = 3000;
};

} // namespace dw::window
