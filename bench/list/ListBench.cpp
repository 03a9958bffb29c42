// SPDX-License-Identifier: MIT
// The shell file list against a QTreeView over QFileSystemModel on the same
// folder, in the same run, runs interleaved, medians printed:
// - showing a folder of 100,000 files of varied names, sizes and times:
//   time to the first rows painted, to every row there and sorted, the
//   longest stall of the UI thread, heap per row; then re-sorting every
//   row by size and by time, painted;
// - a burst of 10,000 files made by another thread in the folder shown:
//   the longest stall, the time until the view shows them all, and whether
//   it then equals the disk;
// - `shell-probe files` on the folder against `find -printf` printing the
//   same columns.
//
//   dw_bench_list [--files N] [--burst N] [--runs N] [--dir PATH] [--only show|burst|probe] [--list-only]

#include "ListCorpus.h"
#include "ListViewRuns.h"
#include "bench/support/BenchArguments.h"
#include "bench/support/SideBySide.h"
#include "bench/support/ProcessRatio.h"

#include <QApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

using bench::argument;
using bench::textArgument;

using bench::medianOf;

namespace {

bool listOnly = false; // the reference's runs are skipped (profiling the list)

void row(const char* what, double ours, double reference, const char* unit)
{
    bench::printSideBySide(what, ours, reference, unit);
}

void compareShowing(const std::string& folder, long expected, int runs)
{
    std::vector<ShowFigures> list;
    std::vector<ShowFigures> reference;
    for (int run = 0; run < runs; ++run) {
        list.push_back(showInList(folder, expected));
        reference.push_back(listOnly ? ShowFigures{} : showInFileSystemModel(folder, expected));
    }
    std::printf("showing %ld files (medians of %d)           file list  QFileSystemModel\n", list.front().rows, runs);
    row("first rows painted", medianOf(list, &ShowFigures::firstRowsMs), medianOf(reference, &ShowFigures::firstRowsMs), "ms");
    row("all rows, sorted", medianOf(list, &ShowFigures::allSortedMs), medianOf(reference, &ShowFigures::allSortedMs), "ms");
    row("longest UI stall", medianOf(list, &ShowFigures::longestStallMs),
        medianOf(reference, &ShowFigures::longestStallMs), "ms");
    row("  its own CPU time", medianOf(list, &ShowFigures::longestCpuStallMs),
        medianOf(reference, &ShowFigures::longestCpuStallMs), "ms");
    row("heap per row", medianOf(list, &ShowFigures::bytesPerRow), medianOf(reference, &ShowFigures::bytesPerRow), "B");
    row("re-sort by size", medianOf(list, &ShowFigures::sortBySizeMs), medianOf(reference, &ShowFigures::sortBySizeMs),
        "ms");
    row("re-sort by time", medianOf(list, &ShowFigures::sortByDateMs), medianOf(reference, &ShowFigures::sortByDateMs),
        "ms");
    std::printf("\n");
}

void compareBurst(const std::string& folder, int count, int runs)
{
    std::vector<BurstFigures> list;
    std::vector<BurstFigures> reference;
    for (int run = 0; run < runs; ++run) {
        list.push_back(burstInList(folder, count));
        reference.push_back(listOnly ? BurstFigures{} : burstInFileSystemModel(folder, count));
    }
    std::printf("burst of %d new files (medians of %d)      file list  QFileSystemModel\n", count, runs);
    row("longest UI stall", medianOf(list, &BurstFigures::longestStallMs),
        medianOf(reference, &BurstFigures::longestStallMs), "ms");
    row("  its own CPU time", medianOf(list, &BurstFigures::longestCpuStallMs),
        medianOf(reference, &BurstFigures::longestCpuStallMs), "ms");
    row("until all shown", medianOf(list, &BurstFigures::settledMs), medianOf(reference, &BurstFigures::settledMs), "ms");
    const auto equal = [](const std::vector<BurstFigures>& runs) {
        return std::count_if(runs.begin(), runs.end(), [](const BurstFigures& f) { return f.equalToDisk; });
    };
    std::printf("  %-22s %7ld/%d      %7ld/%d\n\n", "equal to the disk", equal(list), runs, equal(reference), runs);
}

void compareProbe(const std::string& folder, int runs)
{
    const QString probe = QCoreApplication::applicationDirPath() + QStringLiteral("/shell-probe");
    const QString path = QString::fromStdString(folder);
    const TimedCommand files{probe, {QStringLiteral("files"), path}};
    const TimedCommand find{QStringLiteral("find"),
                            {path, QStringLiteral("-mindepth"), QStringLiteral("1"), QStringLiteral("-maxdepth"),
                             QStringLiteral("1"), QStringLiteral("-printf"),
                             QStringLiteral("%f\\t%s\\t%y\\t%TY-%Tm-%Td %TH:%TM:%TS\\t%M\\n")}};
    const RatioFigures ratio = timeSideBySide(files, find, runs);
    std::printf("shell-probe files against find -printf (medians of %d)\n", runs);
    std::printf("  shell-probe files      %.3f s\n", ratio.medianSeconds);
    std::printf("  find -printf           %.3f s\n", ratio.referenceMedianSeconds);
    std::printf("  ratio                  %.2f (target: at most 2.5)\n\n", ratio.ratio());
}

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    const int files = argument(argc, argv, "--files", 100000);
    const int burst = argument(argc, argv, "--burst", 10000);
    const int runs = std::max(1, argument(argc, argv, "--runs", 5));
    listOnly = std::any_of(argv + 1, argv + argc, [](const char* a) { return std::strcmp(a, "--list-only") == 0; });
    QTemporaryDir temporary;
    const char* kept = textArgument(argc, argv, "--dir");
    const std::string root = kept ? std::string(kept) : temporary.path().toStdString();
    const std::string folder = root + "/files";
    std::printf("corpus in %s ...\n", folder.c_str());
    const long expected = MakeListCorpus(folder, files);
    std::printf("%ld files\n\n", expected);
    const char* only = textArgument(argc, argv, "--only");
    const auto wanted = [only](const char* part) { return !only || std::strcmp(only, part) == 0; };
    if (wanted("show"))
        compareShowing(folder, expected, runs);
    if (wanted("burst"))
        compareBurst(folder, burst, runs);
    if (wanted("probe"))
        compareProbe(folder, runs);
    return 0;
}
