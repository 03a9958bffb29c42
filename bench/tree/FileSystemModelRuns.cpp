// SPDX-License-Identifier: MIT
// The reference: a QTreeView over QFileSystemModel, expanded at the same
// folder. It reads folders on a thread of its own and sorts their children
// once they are in.

#include "bench/support/StallMeter.h"
#include "ViewRuns.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileSystemModel>
#include <QTreeView>

#include <malloc.h>
#include <memory>
#include <set>
#include <thread>

namespace {

void runUntil(const std::function<bool()>& done, int limitMs = 120000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

struct ModelView {
    QFileSystemModel model;
    QTreeView view;
    QModelIndex folder;

    ModelView(const std::string& path, bool showFiles)
    {
        model.setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | (showFiles ? QDir::Files : QDir::Filters()));
        const QString folderPath = QString::fromStdString(path);
        model.setRootPath(QFileInfo(folderPath).path());
        view.setModel(&model);
        view.setUniformRowHeights(true);
        view.resize(400, 800);
        view.show();
        folder = model.index(folderPath);
    }
};

} // namespace

ExpansionFigures expandInFileSystemModel(const std::string& path, bool showFiles, long expected)
{
    ExpansionFigures figures;
    const std::size_t before = mallinfo2().uordblks;
    auto views = std::make_unique<ModelView>(path, showFiles);
    bool loaded = false;
    QObject::connect(&views->model, &QFileSystemModel::directoryLoaded,
                     [&](const QString& loadedPath) { loaded |= loadedPath == QString::fromStdString(path); });
    StallMeter meter;
    views->view.expand(views->folder);
    views->model.fetchMore(views->folder);
    runUntil([&] { return views->model.rowCount(views->folder) > 0; });
    views->view.repaint();
    figures.firstRowsMs = meter.elapsedMs();
    runUntil([&] { return loaded && views->model.rowCount(views->folder) >= expected; });
    // It sorts after a short delay once a folder is loaded; one more turn.
    QCoreApplication::processEvents();
    figures.allSortedMs = meter.elapsedMs();
    figures.longestStallMs = meter.longestMs();
    figures.rows = views->model.rowCount(views->folder);
    figures.bytesPerNode = figures.rows ? double(mallinfo2().uordblks - before) / double(figures.rows) : 0;
    return figures;
}

BurstFigures burstInFileSystemModel(const std::string& path, int count)
{
    BurstFigures figures;
    auto views = std::make_unique<ModelView>(path, false);
    views->view.expand(views->folder);
    views->model.fetchMore(views->folder);
    runUntil([&] { return views->model.rowCount(views->folder) > 0; }, 10000);
    const long before = views->model.rowCount(views->folder);
    StallMeter meter;
    std::thread maker([&] {
        for (int i = 0; i < count; ++i)
            QDir().mkdir(QString::fromStdString(path + "/burst" + std::to_string(i)));
    });
    runUntil([&] { return views->model.rowCount(views->folder) >= before + count; }, 60000);
    maker.join();
    figures.settledMs = meter.elapsedMs();
    figures.longestStallMs = meter.longestMs();
    figures.equalToDisk = views->model.rowCount(views->folder)
        == QDir(QString::fromStdString(path)).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden).size();
    for (int i = 0; i < count; ++i)
        QDir().rmdir(QString::fromStdString(path + "/burst" + std::to_string(i)));
    return figures;
}
