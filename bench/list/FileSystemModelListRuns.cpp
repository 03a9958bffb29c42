// SPDX-License-Identifier: MIT
// The reference: a QTreeView over QFileSystemModel with the folder as its
// root. It reads the folder on a thread of its own, decides each file's
// type on the UI thread, and sorts the rows once they are in.

#include "ListViewRuns.h"
#include "bench/support/StallMeter.h"

#include <QCoreApplication>
#include <QFileSystemModel>
#include <QTreeView>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
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
    QModelIndex root;
    bool loaded = false;

    explicit ModelView(const std::string& path)
    {
        const QString folder = QString::fromStdString(path);
        QObject::connect(&model, &QFileSystemModel::directoryLoaded,
                         [this, folder](const QString& loadedPath) { loaded |= loadedPath == folder; });
        model.setFilter(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
        root = model.setRootPath(folder);
        view.setModel(&model);
        view.setRootIndex(root);
        view.setUniformRowHeights(true);
        view.setSortingEnabled(true);
        view.sortByColumn(0, Qt::AscendingOrder);
        view.resize(800, 800);
        view.show();
    }
};

double timedSort(ModelView& views, int column)
{
    QElapsedTimer timer;
    timer.start();
    views.view.sortByColumn(column, Qt::AscendingOrder);
    views.view.repaint();
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

ShowFigures showInFileSystemModel(const std::string& folder, long expected)
{
    ShowFigures figures;
    const double before = heapBytes();
    StallMeter meter;
    auto views = std::make_unique<ModelView>(folder);
    runUntil([&] { return views->model.rowCount(views->root) > 0; });
    views->view.repaint();
    figures.firstRowsMs = meter.elapsedMs();
    runUntil([&] { return views->loaded && views->model.rowCount(views->root) >= expected; });
    // It sorts a moment after the folder is in; one more turn.
    QCoreApplication::processEvents();
    views->view.repaint();
    figures.allSortedMs = meter.elapsedMs();
    figures.longestStallMs = meter.longestMs();
    figures.longestCpuStallMs = meter.longestCpuMs();
    figures.rows = views->model.rowCount(views->root);
    figures.bytesPerRow = figures.rows ? (heapBytes() - before) / double(figures.rows) : 0;
    figures.sortBySizeMs = timedSort(*views, 1);
    figures.sortByDateMs = timedSort(*views, 3);
    return figures;
}

BurstFigures burstInFileSystemModel(const std::string& folder, int count)
{
    BurstFigures figures;
    auto views = std::make_unique<ModelView>(folder);
    runUntil([&] { return views->loaded; });
    const long before = views->model.rowCount(views->root);
    StallMeter meter;
    std::thread maker([&] {
        for (int i = 0; i < count; ++i)
            std::ofstream(folder + "/burst" + std::to_string(i) + ".dw2").put('x');
    });
    runUntil([&] { return views->model.rowCount(views->root) >= before + count; }, 120000);
    maker.join();
    figures.settledMs = meter.elapsedMs();
    figures.longestStallMs = meter.longestMs();
    figures.longestCpuStallMs = meter.longestCpuMs();
    runUntil([] { return false; }, 300);
    std::vector<std::string> shown;
    for (int row = 0; row < views->model.rowCount(views->root); ++row)
        shown.push_back(QFile::encodeName(views->model.fileName(views->model.index(row, 0, views->root))).toStdString());
    std::sort(shown.begin(), shown.end());
    // Its names are text: a name that is no UTF-8 is compared as it would
    // read back.
    std::vector<std::string> disk;
    for (const std::string& name : namesOnDisk(folder))
        disk.push_back(QFile::encodeName(QFile::decodeName(QByteArray::fromStdString(name))).toStdString());
    std::sort(disk.begin(), disk.end());
    figures.equalToDisk = shown == disk;
    for (int i = 0; i < count; ++i)
        std::filesystem::remove(folder + "/burst" + std::to_string(i) + ".dw2");
    return figures;
}
