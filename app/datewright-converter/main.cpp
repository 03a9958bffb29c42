// SPDX-License-Identifier: MIT
// datewright-converter [FOLDER | FILE.dw2]: the converter's window.

#include "app/settings/StartupArgument.h"
#include "app/window/ErrorReport.h"
#include "app/window/Main.h"
#include "app/window/MainTexts.h"
#include "base/application/SsApplication.h"

#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

namespace {

// Asked for the usage: it is printed without a display to open.
bool asksForHelp(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            return false;
        if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0)
            return true;
    }
    return false;
}

std::string workingFolder()
{
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    return error ? std::string() : folder.string();
}

} // namespace

int main(int argc, char** argv)
{
    if (asksForHelp(argc, argv)) {
        std::cout << dw::app::startupUsageText();
        return 0;
    }
    TSsApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("datewright-converter"));
    QApplication::setApplicationDisplayName(QString::fromLatin1(dw::window::kApplicationTitle));
    QApplication::setApplicationVersion(QStringLiteral("2.20"));
    QGuiApplication::setDesktopFileName(QStringLiteral("datewright-converter"));

    // The toolkit took its own options out of argv; the rest keep their
    // exact bytes.
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const dw::app::StartupArgument startPlace = dw::app::parseStartupArgument(arguments, workingFolder());
    if (startPlace.kind == dw::app::StartupArgument::Kind::Invalid) {
        dw::window::ReportStartupFailure(startPlace.message);
        return 2;
    }
    dw::window::TForm1 Form1(startPlace);
    Form1.show();
    return application.exec();
}
