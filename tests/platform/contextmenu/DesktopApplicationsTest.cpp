// SPDX-License-Identifier: MIT
#include "platform/contextmenu/DesktopApplications.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace dw::platform;

namespace {

void writeEntry(const QString& folder, const QString& id, const QString& text)
{
    QDir().mkpath(folder);
    QFile file(folder + QLatin1Char('/') + id);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
}

QString entry(const QString& name, const QString& exec, const QString& types, const QString& extra = {})
{
    return QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nExec=%2\nMimeType=%3\n%4"
                          "[Desktop Action new]\nName=Other\nExec=other\n")
        .arg(name, exec, types, extra);
}

} // namespace

TEST(DesktopApplications, ParsesTheMainGroupOnly)
{
    DesktopApplication application;
    ASSERT_TRUE(parseDesktopEntry(entry("Text Editor", "gedit %U", "text/plain;text/x-c;"), application));
    EXPECT_EQ(application.name, "Text Editor");
    EXPECT_EQ(application.exec, "gedit %U");
    EXPECT_EQ(application.mimeTypes, (QStringList{"text/plain", "text/x-c"}));
    DesktopApplication hidden;
    EXPECT_FALSE(parseDesktopEntry(entry("Helper", "helper %f", "text/plain", "NoDisplay=true\n"), hidden));
    DesktopApplication link;
    EXPECT_FALSE(parseDesktopEntry("[Desktop Entry]\nType=Link\nName=Site\nURL=https://x\n", link));
}

TEST(DesktopApplications, CommandsPutTheFileWhereTheFieldCodesSay)
{
    const std::string path = "/home/ann/My Calendars/a b.dw2";
    EXPECT_EQ(commandForFile("gedit %U", path),
              (std::vector<std::string>{"gedit", "file:///home/ann/My%20Calendars/a%20b.dw2"}));
    EXPECT_EQ(commandForFile("editor --new-window %f --icon %i", path),
              (std::vector<std::string>{"editor", "--new-window", path, "--icon"}));
    EXPECT_EQ(commandForFile("\"/opt/my app/bin\" --rate 100%%", path),
              (std::vector<std::string>{"/opt/my app/bin", "--rate", "100%", path}));
    EXPECT_TRUE(commandForFile("", path).empty());
}

TEST(DesktopApplications, CommandsKeepTheExactBytesOfTheFile)
{
    const std::string odd("/tmp/odd\xff\nname", 14);
    EXPECT_EQ(commandForFile("viewer %F", odd), (std::vector<std::string>{"viewer", odd}));
    EXPECT_EQ(commandForFile("viewer %u", odd), (std::vector<std::string>{"viewer", "file:///tmp/odd%FF%0Aname"}));
}

TEST(DesktopApplications, FindsTheApplicationsForAType)
{
    QTemporaryDir dir;
    const QByteArray savedHome = qgetenv("XDG_DATA_HOME");
    const QByteArray savedDirs = qgetenv("XDG_DATA_DIRS");
    const QString user = dir.path() + "/user";
    const QString system = dir.path() + "/system";
    qputenv("XDG_DATA_HOME", user.toUtf8());
    qputenv("XDG_DATA_DIRS", system.toUtf8());
    writeEntry(system + "/applications", "editor.desktop", entry("Zed Editor", "zed %f", "text/plain;"));
    writeEntry(system + "/applications", "viewer.desktop", entry("Viewer", "viewer %f", "image/png;"));
    writeEntry(system + "/applications", "notes.desktop", entry("System Notes", "notes %f", "text/plain;"));
    // The user's own entry of the same id replaces the system's.
    writeEntry(user + "/applications", "notes.desktop", entry("My Notes", "notes --mine %f", "text/plain;"));
    const auto found = applicationsFor("text/plain");
    qputenv("XDG_DATA_HOME", savedHome);
    qputenv("XDG_DATA_DIRS", savedDirs);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].name, "My Notes");
    EXPECT_EQ(found[1].name, "Zed Editor");
}
