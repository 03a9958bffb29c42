// SPDX-License-Identifier: MIT
// shell-browser [FOLDER]
// shell-browser --self-check N FOLDER: opens FOLDER, waits until the list
// has read it, prints the number of rows and exits with 0 when that is N.

#include "BrowserWindow.h"

#include <base/exceptions/SsBase.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QWindow>

#include <cstdlib>
#include <exception>
#include <functional>
#include <iostream>
#include <string>

namespace {

// The controls raise a failure found on a worker (a folder that turned out
// not to open) from the event that brings it back; Qt's event loop does not
// carry exceptions, so the application shows them here.
class BrowserApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& error) {
            std::cerr << "shell-browser: " << error.what() << "\n";
            if (!m_selfCheck)
                QMessageBox::critical(activeWindow(), applicationName(), QString::fromUtf8(error.what()));
            return true;
        }
    }
    bool m_selfCheck = false;
};

bool WaitFor(const std::function<bool()>& done, int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > milliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

int SelfCheck(BrowserWindow& window, int expected, const std::string& folder)
{
    const bool listed = WaitFor(
        [&] { return window.List().GetPath() == folder && !window.List().IsLoading(); }, 30000);
    const int rows = window.List().GetItemCount();
    std::cout << "folder: " << window.List().GetPath() << "\nrows: " << rows << "\n";
    return listed && rows == expected ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    BrowserApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const bool selfCheck = arguments.size() == 4 && arguments[1] == QLatin1String("--self-check");
    if (arguments.size() > 2 && !selfCheck) {
        std::cerr << "usage: shell-browser [FOLDER] | shell-browser --self-check N FOLDER\n";
        return 2;
    }
    application.m_selfCheck = selfCheck;
    const std::string folder = arguments.size() > 1 ? std::string(argv[argc - 1]) : QDir::homePath().toStdString();

    BrowserWindow window;
    window.show();
    // The tree reads its first level once it is on the screen.
    WaitFor([&] { return window.windowHandle() && window.windowHandle()->isExposed(); }, 10000);
    try {
        window.Open(folder);
    } catch (const ESsException& error) {
        std::cerr << "shell-browser: " << folder << ": " << error.what() << "\n";
        return 1;
    }
    return selfCheck ? SelfCheck(window, std::atoi(argv[2]), folder) : application.exec();
}
