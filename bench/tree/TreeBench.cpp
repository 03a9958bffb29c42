// SPDX-License-Identifier: MIT
// The folder tree against a QTreeView over QFileSystemModel on the same
// folders, in the same run, runs interleaved, medians printed:
// - expanding a folder of 10,000 subfolders and one of 100,000 files (the
//   tree with files shown): time to the first rows painted, to every row
//   there and sorted, the longest stall of the UI thread, heap per node;
// - a burst of 10,000 folders made by another thread under an expanded
//   folder: the longest stall, the time until the view shows them all, and
//   whether it then equals the disk.
//
//   dw_bench_tree [--folders N] [--files N] [--burst N] [--runs N] [--dir PATH]

#include "bench/support/BenchArguments.h"
#include "bench/support/SideBySide.h"
#include "ViewRuns.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using bench::argument;
using bench::textArgument;

using bench::medianOf;

namespace {



void makeCorpus(const QString& root, int folders, int files)
{
    QDir dir(root);
    if (dir.mkdir(QStringLiteral("folders"))) {
        for (int i = 0; i < folders; ++i) {
            const QString name = QStringLiteral("folders/folder%1").arg(i);
            dir.mkdir(name);
            if (i % 2 == 0)
                dir.mkdir(name + QStringLiteral("/sub"));
        }
    }
    if (dir.mkdir(QStringLiteral("files"))) {
        for (int i = 0; i < files; ++i)
            QFile(root + QStringLiteral("/files/calendar%1.dw2").arg(i)).open(QIODevice::WriteOnly);
    }
    dir.mkpath(QStringLiteral("burst/seed")); // a folder with a child can be expanded
}

void row(const char* what, double ours, double reference, const char* unit)
{
    bench::printSideBySide(what, ours, reference, unit);
}

void compareExpansion(const char* title, const std::string& folder, bool showFiles, long expected, int runs)
{
    std::vector<ExpansionFigures> tree;
    std::vector<ExpansionFigures> reference;
    for (int run = 0; run < runs; ++run) {
        tree.push_back(expandInTree(folder, showFiles, expected));
        reference.push_back(expandInFileSystemModel(folder, showFiles, expected));
    }
    std::printf("%s (%ld rows; medians of %d)       folder tree    QFileSystemModel\n", title, tree.front().rows, runs);
    row("first rows painted", medianOf(tree, &ExpansionFigures::firstRowsMs),
        medianOf(reference, &ExpansionFigures::firstRowsMs), "ms");
    row("all rows, sorted", medianOf(tree, &ExpansionFigures::allSortedMs),
        medianOf(reference, &ExpansionFigures::allSortedMs), "ms");
    row("longest UI stall", medianOf(tree, &ExpansionFigures::longestStallMs),
        medianOf(reference, &ExpansionFigures::longestStallMs), "ms");
    row("heap per node", medianOf(tree, &ExpansionFigures::bytesPerNode),
        medianOf(reference, &ExpansionFigures::bytesPerNode), "B");
    std::printf("\n");
}

void compareBurst(const std::string& folder, int count, int runs)
{
    std::vector<BurstFigures> tree;
    std::vector<BurstFigures> reference;
    for (int run = 0; run < runs; ++run) {
        tree.push_back(burstInTree(folder, count));
        reference.push_back(burstInFileSystemModel(folder, count));
    }
    std::printf("burst of %d new folders (medians of %d)    folder tree    QFileSystemModel\n", count, runs);
    row("longest UI stall", medianOf(tree, &BurstFigures::longestStallMs),
        medianOf(reference, &BurstFigures::longestStallMs), "ms");
    row("until all shown", medianOf(tree, &BurstFigures::settledMs), medianOf(reference, &BurstFigures::settledMs),
        "ms");
    const auto equal = [](const std::vector<BurstFigures>& runs) {
        return std::count_if(runs.begin(), runs.end(), [](const BurstFigures& f) { return f.equalToDisk; });
    };
    std::printf("  %-22s %7ld/%d      %7ld/%d\n\n", "equal to the disk", equal(tree), runs, equal(reference), runs);
}

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    const int folders = argument(argc, argv, "--folders", 10000);
    const int files = argument(argc, argv, "--files", 100000);
    const int burst = argument(argc, argv, "--burst", 10000);
    const int runs = std::max(1, argument(argc, argv, "--runs", 5));
    QTemporaryDir temporary;
    const char* kept = textArgument(argc, argv, "--dir");
    const QString root = kept ? QString::fromLocal8Bit(kept) : temporary.path();
    QDir().mkpath(root);
    std::printf("corpus in %s ...\n\n", qPrintable(root));
    makeCorpus(root, folders, files);

    compareExpansion("expanding 10,000 subfolders", (root + QStringLiteral("/folders")).toStdString(), false,
                     folders, runs);
    compareExpansion("expanding 100,000 files", (root + QStringLiteral("/files")).toStdString(), true, files, runs);
    compareBurst((root + QStringLiteral("/burst")).toStdString(), burst, runs);
    return 0;
}
