// SPDX-License-Identifier: MIT
// Where the main window opens: the folder or file given on the command line,
// else the default calendar folder of the setting. Either may lie on a share
// whose server stopped answering, so the window shows first and the place
// is looked up off its thread; the folder opens when its disk answers.

#include "app/window/Main.h"

#include "app/settings/DefaultCalendarDir.h"
#include "app/window/CalendarNames.h"
#include "app/window/ErrorReport.h"
#include "app/window/MainTexts.h"
#include "app/window/StatusPanel.h"
#include "platform/listing/LineCall.h"
#include "platform/namespace/DisplayText.h"
#include "platform/namespace/ShellNamespace.h"
#include "shell/items/StShellFolder.h"
#include "shell/tree/StShellTreeModel.h"
#include "shell/tree/StShellTreeView.h"

#include <QTimer>

#include <stdexcept>

namespace dw::window {

namespace {

// A place on a disk that answers is opened before the window is first
// drawn.
constexpr auto kQuickAnswer = std::chrono::milliseconds(150);

} // namespace

void TForm1::FormCreate(QObject*)
{
    using Kind = app::StartupArgument::Kind;
    if (m_startPlace.kind == Kind::Folder || m_startPlace.kind == Kind::File) {
        m_currentFolder = m_startPlace.folder;
        return;
    }
    if (m_startPlace.kind == Kind::Path)
        return; // the setting is not read; the path is looked at once the window shows
    try {
        m_currentFolder = app::readDefaultCalendarDir(app::settingSourcesFromEnvironment());
    } catch (...) {
        // The window still opens, with no current folder.
        m_currentFolder.clear();
        ReportError(std::current_exception());
    }
}

void TForm1::FormShow(QObject*)
{
    // The tree selects a start folder of its own when it is given none (the
    // desktop, a file-system folder when the user has a desktop folder);
    // the list stays empty until the user selects a folder.
    m_noFolderChosen = true;
    OpenStartPlace();
    ShellTree->setFocus();
}

void TForm1::OpenStartPlace()
{
    using Kind = app::StartupArgument::Kind;
    if (m_startPlace.kind == Kind::Path) {
        const std::string path = m_startPlace.path;
        ExamineStartPlace(path, [path] { return app::examineStartupPath(path); });
        return;
    }
    const std::string value = m_currentFolder;
    if (m_startPlace.kind == Kind::None && !value.empty()) {
        if (!platform::isParsingName(value)) {
            ReportError(std::make_exception_ptr(std::runtime_error(app::examineDefaultCalendarDir(value, {}).message)));
            return;
        }
        if (const auto local = platform::localPathOfParsingName(value)) {
            ExamineStartPlace(value, [value, local = *local] { return app::examineDefaultCalendarDir(value, local); });
            return;
        }
    }
    ShellTree->OpenAtPath(value); // "" or a virtual folder's name: the tree knows them
}

void TForm1::ExamineStartPlace(const std::string& shownPath, std::function<app::StartupArgument()> examine)
{
    m_startPath = shownPath;
    auto place = std::make_shared<app::StartupArgument>();
    m_startCheck = std::make_unique<platform::LineCall>(
        platform::sharedShellNamespace()->volumeKeyOfParsingName(shownPath),
        [examine = std::move(examine), place] { *place = examine(); },
        [this, place] { StartPlaceExamined(*place); }, this);
    if (m_startCheck->waitFinished(kQuickAnswer))
        return;
    ShowStartStatus(waitingForDiskSuffix());
    QTimer::singleShot(m_noAnswerDelayMs, this, [this] {
        if (m_startCheck)
            ShowStartStatus(noAnswerSuffix());
    });
}

void TForm1::ShowStartStatus(const QString& suffix)
{
    StatusPanel->SetCaption(platform::displayQStringFromBytes(m_startPath), suffix);
}

void TForm1::StartPlaceExamined(const app::StartupArgument& place)
{
    // Called from within the check: it goes once that has returned.
    if (m_startCheck)
        m_startCheck.release()->deleteLater();
    StatusPanel->SetCaption({}, {});
    const bool fromArgument = m_startPlace.kind == app::StartupArgument::Kind::Path;
    if (place.kind == app::StartupArgument::Kind::Invalid) {
        m_startPlace = {};
        if (fromArgument)
            ReportStartupFailure(place.message);
        else
            ReportError(std::make_exception_ptr(std::runtime_error(place.message)));
        return; // the window stays without a folder
    }
    if (fromArgument)
        m_startPlace = place; // a file is selected once its folder is listed
    m_currentFolder = place.folder;
    ShellTree->OpenAtPath(m_currentFolder);
}

void TForm1::ForgetStartPlace()
{
    m_startCheck.reset();
}

bool TForm1::IsTreesOwnStartPick(TStShellFolder& Folder) const
{
    if (!m_noFolderChosen || &Folder != ShellTree->FolderOf(ShellTree->Model().TopNode()))
        return false;
    // The start folder may name the desktop's folder itself.
    return m_currentFolder.empty() || withTrailingDelimiter(m_currentFolder) != withTrailingDelimiter(Folder.GetPath());
}

} // namespace dw::window
