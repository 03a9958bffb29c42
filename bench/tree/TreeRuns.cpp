// SPDX-License-Identifier: MIT
// The folder tree's side of the measurements.

#include "bench/support/StallMeter.h"
#include "ViewRuns.h"

#include "shell/tree/StShellTreeModel.h"
#include "shell/tree/StShellTreeView.h"

#include <QCoreApplication>
#include <QDir>

#include <malloc.h>
#include <set>
#include <thread>

namespace {

std::size_t heapBytes()
{
    return mallinfo2().uordblks;
}

void runUntil(const std::function<bool()>& done, int limitMs = 120000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

std::string parentOf(const std::string& path)
{
    return path.substr(0, path.rfind('/'));
}

TStShellTreeView* openedAt(const std::string& folder, bool showFiles)
{
    auto* tree = new TStShellTreeView;
    TStTreeOptions options = tree->GetOptions();
    if (showFiles)
        options.Include(toShowFiles);
    tree->SetOptions(options);
    tree->resize(400, 800);
    tree->show();
    tree->OpenAtPath(parentOf(folder));
    runUntil([&] { return !tree->IsLoading(); });
    return tree;
}

long childCount(const TStShellTreeView& tree, const std::string& folder)
{
    const TStTreeNode* node = tree.NodeByPath(folder);
    return node ? static_cast<long>(node->children.size()) : 0;
}

} // namespace

ExpansionFigures expandInTree(const std::string& folder, bool showFiles, long expected)
{
    ExpansionFigures figures;
    const std::size_t before = heapBytes();
    std::unique_ptr<TStShellTreeView> tree(openedAt(folder, showFiles));
    const QModelIndex index = tree->Model().IndexOf(tree->NodeByPath(folder));
    StallMeter meter;
    tree->expand(index);
    runUntil([&] { return childCount(*tree, folder) > 0; });
    tree->repaint();
    figures.firstRowsMs = meter.elapsedMs();
    runUntil([&] { return !tree->IsLoading() && childCount(*tree, folder) >= expected; });
    figures.allSortedMs = meter.elapsedMs();
    figures.longestStallMs = meter.longestMs();
    figures.rows = childCount(*tree, folder);
    figures.bytesPerNode = figures.rows ? double(heapBytes() - before) / double(figures.rows) : 0;
    return figures;
}

BurstFigures burstInTree(const std::string& folder, int count)
{
    BurstFigures figures;
    std::unique_ptr<TStShellTreeView> tree(openedAt(folder, false));
    tree->expand(tree->Model().IndexOf(tree->NodeByPath(folder)));
    runUntil([&] { return !tree->IsLoading(); });
    const long before = childCount(*tree, folder);
    StallMeter meter;
    std::thread maker([&] {
        for (int i = 0; i < count; ++i)
            QDir().mkdir(QString::fromStdString(folder + "/burst" + std::to_string(i)));
    });
    runUntil([&] { return childCount(*tree, folder) >= before + count && !tree->IsLoading(); }, 60000);
    maker.join();
    figures.settledMs = meter.elapsedMs();
    figures.longestStallMs = meter.longestMs();
    std::set<std::string> shown;
    for (const auto& child : tree->NodeByPath(folder)->children)
        shown.insert(tree->Model().TextOf(*child));
    const QStringList onDisk = QDir(QString::fromStdString(folder)).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    std::set<std::string> disk;
    for (const QString& name : onDisk)
        disk.insert(name.toStdString());
    figures.equalToDisk = shown == disk;
    for (int i = 0; i < count; ++i)
        QDir().rmdir(QString::fromStdString(folder + "/burst" + std::to_string(i)));
    return figures;
}
