// SPDX-License-Identifier: MIT
// tree-consumer --self-check N FOLDER: a folder tree opened at FOLDER, its
// subfolders listed; prints how many the tree shows under FOLDER and exits
// with 0 when that is N. Built only against the installed package.

#include <shell/items/StShellFolder.h>
#include <shell/tree/StShellTreeModel.h>
#include <shell/tree/StShellTreeView.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>

#include <cstdlib>
#include <iostream>
#include <string>

namespace {

bool waitFor(const std::function<bool()>& done, int milliseconds)
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

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc != 4 || std::string(argv[1]) != "--self-check") {
        std::cerr << "usage: tree-consumer --self-check N FOLDER\n";
        return 2;
    }
    const int expected = std::atoi(argv[2]);
    const std::string folder = argv[3];

    TStShellTreeView tree;
    std::string selected;
    tree.OnFolderSelected = [&selected](QObject*, TStShellFolder* shellFolder) {
        if (shellFolder)
            selected = shellFolder->GetPath();
    };
    tree.resize(300, 400);
    tree.show();
    // As a window does, the tree is opened once it is on the screen.
    waitFor([&] { return tree.windowHandle() && tree.windowHandle()->isExposed(); }, 10000);
    QCoreApplication::processEvents();
    tree.OpenAtPath(folder);
    if (!waitFor([&] { return !tree.IsLoading() && tree.currentIndex().isValid(); }, 30000)) {
        std::cerr << "tree-consumer: the tree did not open at " << folder << "\n";
        return 1;
    }
    const QModelIndex current = tree.currentIndex();
    tree.expand(current);
    waitFor([&] { return !tree.IsLoading() && tree.Model().rowCount(current) >= expected; }, 30000);
    const int shown = tree.Model().rowCount(current);
    std::cout << "selected: " << selected << "\nfolders shown: " << shown << "\n";
    return shown == expected && selected == folder ? 0 : 1;
}
