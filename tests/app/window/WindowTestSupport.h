// SPDX-License-Identifier: MIT
#pragma once
// A main window over a temporary settings folder (XDG_CONFIG_HOME), a
// temporary Wine prefix and a home of its own whose desktop folder holds a
// calendar (as a real desktop may), with its boxes recorded instead of shown.

#include "app/window/CalendarBox.h"
#include "app/window/Main.h"
#include "app/window/StatusPanel.h"
#include "platform/namespace/ShellNamespace.h"
#include "tests/support/TempFolder.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace window_testing {

// A calendar that gets a line, and the same once converted.
inline const std::string needsAlign = "<datewright>\r\n<script>\r\n<daycal>\r\n<events>\r\n<eventcolor>1\r\n";
inline const std::string aligned =
    "<datewright>\r\n<script>\r\n<daycal>\r\n<events>\r\n        <EventAlign>Middle</EventAlign>\r\n<eventcolor>1\r\n";

// The caption of the boxes: the application's title.
inline QString title()
{
    return QApplication::applicationDisplayName();
}

struct Box {
    QString caption;
    QString text;
    bool operator==(const Box&) const = default;
};
void PrintTo(const Box& box, std::ostream* out);

class WindowTest : public ::testing::Test {
protected:
    // The test's own folder. It stays until the program ends, below a folder
    // of the program's own: a folder removed makes the tree read its parent
    // again, and that would disturb the next test's tree.
    std::filesystem::path root = freshFolder();
    std::filesystem::path settings = root / "config/datewright-converter/current-user.reg";
    std::filesystem::path calendars = root / "Calendars";
    std::unique_ptr<dw::window::TForm1> form;
    std::vector<Box> errors;   // the application's error box
    std::vector<Box> messages; // the window's message box
    std::unique_ptr<dw::platform::ScopedShellNamespace> shellNamespace;

    void SetUp() override;
    void TearDown() override;

    // Settings holding `valueLine` as "DefaultCalendarDir"'s value.
    void storeValue(const std::string& valueLine);
    // The window, created; shown (and painted once) unless `show` is false.
    dw::window::TForm1& openWindow(const dw::app::StartupArgument& place = {}, bool show = true);
    // Lets the tree, the list and its marks finish what they are doing.
    void settle();
    // Selects `path` in the tree, as a click would.
    void selectInTree(const std::string& path);
    std::string treeSelection() const;
    std::vector<int> selectedRows() const;
    void selectRows(const std::vector<int>& rows);
    // The desktop's folder: one for the whole test program, so that no
    // test sees the folders of another removed.
    static std::filesystem::path desktop();
    static std::filesystem::path freshFolder();
    std::string status() const { return form->StatusPanel->Caption().toStdString(); }
    void convert();
};

std::string folderOf(const std::filesystem::path& path);

} // namespace window_testing
