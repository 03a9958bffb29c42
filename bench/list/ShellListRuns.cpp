// SPDX-License-Identifier: MIT
// The shell file list's side of the measurements.

#include "ListViewRuns.h"
#include "bench/support/StallMeter.h"

#include "shell/list/StShellListModel.h"
#include "shell/list/StShellListView.h"

#include <QCoreApplication>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <malloc.h>
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

std::unique_ptr<TStShellListView> makeList()
{
    auto list = std::make_unique<TStShellListView>();
    list->resize(800, 800);
    list->show();
    return list;
}

double timedSort(TStShellListView& list, TStListColumn column)
{
    QElapsedTimer timer;
    timer.start();
    list.SetSortColumn(column);
    list.CurrentView()->repaint();
    return timer.nsecsElapsed() / 1e6;
}

std::vector<std::string> namesShown(const TStShellListView& list)
{
    std::vector<std::string> names;
    const TStShellListModel& model = list.Model();
    for (int row = 0; row < model.rowCount(); ++row) {
        const std::string& path = model.RecordAt(row).parsingName;
        names.push_back(path.substr(path.rfind('/') + 1));
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

double heapBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd);
}

std::vector<std::string> namesOnDisk(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

ShowFigures showInList(const std::string& folder, long expected)
{
    ShowFigures figures;
    const double before = heapBytes();
    std::unique_ptr<TStShellListView> list = makeList();
    StallMeter meter;
    list->SetPath(folder);
    runUntil([&] { return list->Model().rowCount() > 0; });
    list->CurrentView()->repaint();
    figures.firstRowsMs = meter.elapsedMs();
    runUntil([&] { return !list->IsLoading() && list->Model().rowCount() >= expected; });
    list->CurrentView()->repaint();
    figures.allSortedMs = meter.elapsedMs();
    figures.longestStallMs = meter.longestMs();
    figures.longestCpuStallMs = meter.longestCpuMs();
    figures.rows = list->Model().rowCount();
    figures.bytesPerRow = figures.rows ? (heapBytes() - before) / double(figures.rows) : 0;
    figures.sortBySizeMs = timedSort(*list, lcSize);
    figures.sortByDateMs = timedSort(*list, lcModified);
    return figures;
}

BurstFigures burstInList(const std::string& folder, int count)
{
    BurstFigures figures;
    std::unique_ptr<TStShellListView> list = makeList();
    list->SetPath(folder);
    runUntil([&] { return list->GetFolder() && !list->IsLoading(); });
    const long before = list->Model().rowCount();
    StallMeter meter;
    std::thread maker([&] {
        for (int i = 0; i < count; ++i)
            std::ofstream(folder + "/burst" + std::to_string(i) + ".dw2").put('x');
    });
    runUntil([&] { return list->Model().rowCount() >= before + count && !list->IsLoading(); }, 120000);
    maker.join();
    figures.settledMs = meter.elapsedMs();
    figures.longestStallMs = meter.longestMs();
    figures.longestCpuStallMs = meter.longestCpuMs();
    runUntil([] { return false; }, 300); // anything still on its way
    figures.equalToDisk = namesShown(*list) == namesOnDisk(folder);
    for (int i = 0; i < count; ++i)
        std::filesystem::remove(folder + "/burst" + std::to_string(i) + ".dw2");
    return figures;
}
