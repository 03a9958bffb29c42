// SPDX-License-Identifier: MIT
#include "tests/app/window/WindowTestSupport.h"

#include "base/application/SsApplication.h"
#include "platform/namespace/LinuxShellNamespace.h"
#include "platform/namespace/NamespaceEnvironment.h"
#include "shell/items/StShellFolder.h"
#include "shell/tree/StShellTreeView.h"
#include "tests/support/qt/EventLoopWaiting.h"

#include <QCoreApplication>

#include <cstdlib>
#include <stdexcept>

namespace fs = std::filesystem;

namespace window_testing {

namespace {

TSsApplication& application()
{
    return *static_cast<TSsApplication*>(QCoreApplication::instance());
}

} // namespace

void PrintTo(const Box& box, std::ostream* out)
{
    *out << '[' << box.caption.toStdString() << "] " << box.text.toStdString();
}

std::string folderOf(const fs::path& path)
{
    return path.string() + "/";
}

void WindowTest::SetUp()
{
    setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    setenv("WINEPREFIX", (root / "wine").c_str(), 1);
    fs::create_directories(calendars);
    dw::platform::NamespaceEnvironment environment = dw::platform::NamespaceEnvironment::fromSystem();
    environment.homePath = desktop().parent_path().string();
    environment.desktopPath = desktop().string();
    environment.trashPath = (desktop().parent_path() / ".local/share/Trash").string();
    shellNamespace = std::make_unique<dw::platform::ScopedShellNamespace>(
        std::make_shared<dw::platform::LinuxShellNamespace>(environment));
    application().SetErrorBox([this](const QString& caption, const QString& text) { errors.push_back({caption, text}); });
}

namespace {

const fs::path& programFolder()
{
    static const dw::test::TempFolder folder;
    return folder.path();
}

} // namespace

fs::path WindowTest::freshFolder()
{
    std::string pattern = (programFolder() / "test.XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    return pattern;
}

fs::path WindowTest::desktop()
{
    static const fs::path folder = [] {
        const fs::path home = freshFolder();
        fs::create_directories(home / "Desktop");
        dw::test::writeFile(home / "Desktop/on-the-desktop.dw2", needsAlign);
        return home / "Desktop";
    }();
    return folder;
}

void WindowTest::TearDown()
{
    form.reset();
    shellNamespace.reset();
    application().SetErrorBox({});
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("WINEPREFIX");
}

void WindowTest::storeValue(const std::string& valueLine)
{
    fs::create_directories(settings.parent_path());
    dw::test::writeFile(settings, "Windows Registry Editor Version 5.00\n\n[Software\\Quillfen\\Datewright 2]\n"
                                  "\"DefaultCalendarDir\"=" + valueLine + "\n");
}

dw::window::TForm1& WindowTest::openWindow(const dw::app::StartupArgument& place, bool show)
{
    form = std::make_unique<dw::window::TForm1>(place);
    form->SetMessageBox([this](QWidget*, const QString& caption, const QString& text) {
        messages.push_back({caption, text});
    });
    if (show) {
        form->show();
        form->grab(); // the tree's first paint selects its start folder
        settle();
    }
    return *form;
}

void WindowTest::settle()
{
    dw::test::processEventsUntil(
        [this] {
            return !form->IsOpeningStart() && !form->ShellTree->IsLoading() && !form->IsListing() && !form->IsMarking();
        }, 10000, 20);
}

void WindowTest::selectInTree(const std::string& path)
{
    form->ShellTree->OpenAtPath(path);
    settle();
}

std::string WindowTest::treeSelection() const
{
    const TStShellFolder* folder = form->ShellTree->FolderOf(form->ShellTree->SelectedNode());
    return folder ? folder->GetPath() : "<none>";
}

std::vector<int> WindowTest::selectedRows() const
{
    std::vector<int> rows;
    const std::vector<bool> selected = form->CalendarBox->SelectedRows();
    for (std::size_t row = 0; row < selected.size(); ++row)
        if (selected[row])
            rows.push_back(int(row));
    return rows;
}

void WindowTest::selectRows(const std::vector<int>& rows)
{
    for (int row : rows)
        form->CalendarBox->selectionModel()->select(form->CalendarBox->Items().index(row), QItemSelectionModel::Select);
}

void WindowTest::convert()
{
    form->ConvertBtnClick(form->ConvertBtn);
    dw::test::processEventsUntil([] { return false; }, 0, 20); // a failure is shown once the handler returned
}

} // namespace window_testing
