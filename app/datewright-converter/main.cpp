// SPDX-License-Identifier: MIT
// datewright-converter [FOLDER | FILE.dw2]: the converter's window.

#include "app/about/ProgramVersion.h"
#include "app/desktop/ApplicationIcon.h"
#include "app/settings/StartupArgument.h"
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

// Asked for the usage or the version: either is printed without a display
// to open, before the toolkit starts. The first one named wins.
enum class Request { Window, Help, Version };

Request earlyRequest(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            return Request::Window;
        if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0)
            return Request::Help;
        if (std::strcmp(argv[i], "--version") == 0)
            return Request::Version;
    }
    return Request::Window;
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
    switch (earlyRequest(argc, argv)) {
    case Request::Help:
        std::cout << dw::app::startupUsageText()
                  << "\n  -h, --help     display this help and exit\n"
                     "      --version  output version information and exit\n";
        return std::cout.flush() ? 0 : 1;
    case Request::Version:
        std::cout << dw::about::versionText("datewright-converter");
        return std::cout.flush() ? 0 : 1;
    case Request::Window:
        break;
    }
    TSsApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("datewright-converter"));
    QApplication::setApplicationDisplayName(QString::fromLatin1(dw::window::kApplicationTitle));
    QApplication::setApplicationVersion(QStringLiteral("2.20"));
    QGuiApplication::setDesktopFileName(QStringLiteral("datewright-converter"));
    QApplication::setWindowIcon(dw::desktop::applicationIcon());

    // The toolkit took its own options out of argv; the rest keep their
    // exact bytes.
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const dw::app::StartupArgument startPlace = dw::app::parseStartupArgument(arguments, workingFolder());
    if (startPlace.kind == dw::app::StartupArgument::Kind::Invalid) {
        std::cerr << startPlace.message;
        return 2;
    }
    dw::window::TForm1 Form1(startPlace);
    Form1.show();
    return application.exec();
}
