// SPDX-License-Identifier: MIT
// The calendar file type as the desktop's type database reads it once our
// package file is installed beside the system's: by name in any case, and by
// content without a name.

#include "tests/support/TempFolder.h"

#include <QMimeDatabase>
#include <QProcess>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

TEST(CalendarMimeType, IsKnownByItsGlobInAnyCaseAndByItsRootTag)
{
    // The system's types and ours, compiled into one database as
    // update-mime-database does on installation, and nothing else.
    const std::filesystem::path system = "/usr/share/mime/packages/freedesktop.org.xml";
    if (!std::filesystem::exists(system))
        GTEST_SKIP() << "no shared-mime-info on this machine";
    dw::test::TempFolder data;
    std::filesystem::create_directories(data / "mime/packages");
    std::filesystem::copy_file(system, data / "mime/packages/freedesktop.org.xml");
    std::filesystem::copy_file(DW_MIME_PACKAGE, data / "mime/packages/datewright-converter.xml");
    ASSERT_EQ(QProcess::execute(QStringLiteral("update-mime-database"),
                                {QString::fromStdString((data / "mime").string())}), 0);
    ::setenv("XDG_DATA_HOME", data.path().c_str(), 1);
    ::setenv("XDG_DATA_DIRS", (data / "none").c_str(), 1);

    const QMimeDatabase types;
    const QString calendar = QStringLiteral("application/x-datewright-calendar");
    for (const char* name : {"work.dw2", "WORK.DW2", "Work.Dw2"})
        EXPECT_EQ(types.mimeTypeForFile(QString::fromUtf8(name), QMimeDatabase::MatchExtension).name().toStdString(), calendar.toStdString())
            << name;
    EXPECT_TRUE(types.mimeTypeForName(calendar).inherits(QStringLiteral("text/plain")));

    for (const char* start : {"<datewright>\r\n<script>\r\n", "<DATEWRIGHT version=\"2\">\n", "\v\x01\x01 <dAteWRight>\n"})
        EXPECT_EQ(types.mimeTypeForData(QByteArray(start)).name().toStdString(), calendar.toStdString()) << start;
    EXPECT_NE(types.mimeTypeForData(QByteArray("<daterange>\n")).name(), calendar);
    EXPECT_NE(types.mimeTypeForFile(QStringLiteral("work.dw20"), QMimeDatabase::MatchExtension).name(), calendar);
}

} // namespace
