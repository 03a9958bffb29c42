// SPDX-License-Identifier: MIT
// Both programs answer --version and --help on a terminal with no display:
// nothing may start the toolkit first, which would stop the program there.

#include "app/about/ProgramVersion.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include <ostream>
#include <string>

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// No display of any kind, and the X11 platform asked for: a program that made
// its application object first could not connect and would stop.
Outcome runWithoutDisplay(const char* program, const QStringList& arguments, const QString& outputFile = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    QProcess process;
    process.setProcessEnvironment(environment);
    if (!outputFile.isEmpty())
        process.setStandardOutputFile(outputFile);
    process.start(QString::fromUtf8(program), arguments);
    Outcome outcome;
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished();
        return outcome;
    }
    outcome.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    outcome.out = process.readAllStandardOutput().toStdString();
    outcome.err = process.readAllStandardError().toStdString();
    return outcome;
}

struct Program {
    const char* name;
    const char* path;
};

void PrintTo(const Program& program, std::ostream* out)
{
    *out << program.name;
}

class ProgramOptions : public ::testing::TestWithParam<Program> {};

TEST_P(ProgramOptions, VersionIsTheGnuFormWithTheLicence)
{
    const Outcome outcome = runWithoutDisplay(GetParam().path, {QStringLiteral("--version")});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.err, "");
    const std::string firstLine = outcome.out.substr(0, outcome.out.find('\n'));
    EXPECT_EQ(firstLine, std::string(GetParam().name) + " (Datewright Converter) 2.20");
    EXPECT_NE(outcome.out.find("\nCopyright (C) 2026 The Datewright Converter developers.\n"), std::string::npos)
        << outcome.out;
    EXPECT_NE(outcome.out.find("\nLicense MIT: <https://opensource.org/license/mit>.\n"), std::string::npos)
        << outcome.out;
    EXPECT_EQ(outcome.out, dw::about::versionText(GetParam().name));
}

TEST_P(ProgramOptions, HelpNamesBothOptionsWithoutADisplay)
{
    for (const QString& option : {QStringLiteral("--help"), QStringLiteral("-h")}) {
        const Outcome outcome = runWithoutDisplay(GetParam().path, {option});
        ASSERT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_EQ(outcome.out.rfind(std::string("Usage: ") + GetParam().name + " ", 0), 0u) << outcome.out;
        EXPECT_NE(outcome.out.find("--version"), std::string::npos) << outcome.out;
        EXPECT_NE(outcome.out.find("-h, --help"), std::string::npos) << outcome.out;
    }
}

TEST_P(ProgramOptions, VersionThatCannotBeWrittenFails)
{
    // A full disk: the text is lost, so the program must not say it succeeded.
    const Outcome outcome = runWithoutDisplay(GetParam().path, {QStringLiteral("--version")}, QStringLiteral("/dev/full"));
    EXPECT_NE(outcome.status, 0);
}

INSTANTIATE_TEST_SUITE_P(Programs, ProgramOptions,
                         ::testing::Values(Program{"dw2convert", DW2CONVERT_PATH},
                                           Program{"datewright-converter", DATEWRIGHT_CONVERTER_PATH}),
                         [](const ::testing::TestParamInfo<Program>& info) {
                             return std::string(info.param.name) == "dw2convert" ? "dw2convert" : "window";
                         });

} // namespace
