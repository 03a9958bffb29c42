// SPDX-License-Identifier: MIT
// Listing large folders, on a folder of subfolders (half holding a folder,
// half a file) and on one of files:
// - tree-mode enumeration through the controller, as a tree expanding a node
//   without the producer would do it: items per second, heap per item;
// - the producer, as a view uses it: time to the first batch and to the
//   last, and the longest stall of the event loop meanwhile;
// - `shell-probe list` against `find` side by side (medians of interleaved
//   runs): the files against `find -mindepth 1 -maxdepth 1 -printf '%y %m
//   %p\n'`, which stats every entry, the subfolders against `find
//   -mindepth 1 -maxdepth 2`, which also reads every subfolder;
// - openat calls per listed child (strace).
//
//   dw_bench_namespace [--folders N] [--files N] [--runs N] [--dir PATH]

#include "bench/support/BenchArguments.h"
#include "HeapCounter.h"
#include "bench/support/ProcessRatio.h"
#include "ProducerTiming.h"

#include "platform/namespace/ShellNamespace.h"
#include "shell/controller/StCollectingTreeTarget.h"
#include "shell/controller/StShellController.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <string>

using bench::argument;
using bench::textArgument;

namespace {

struct Figures {
    double sortSeconds = 0;
    double seconds = 0;
    int items = 0;
    int withChildren = 0;
    double peakBytesPerItem = 0;
};

// The tree then sorts its nodes by the desktop's order of their absolute lists.
double sortSeconds(const TStShellFolderList& list, dw::platform::IShellFolder& desktop)
{
    std::vector<const TStShellFolder*> folders;
    for (int i = 0; i < list.Count(); ++i)
        folders.push_back(list.Items(i));
    std::reverse(folders.begin(), folders.end());
    QElapsedTimer timer;
    timer.start();
    std::sort(folders.begin(), folders.end(), [&](const TStShellFolder* a, const TStShellFolder* b) {
        return static_cast<short>(desktop.CompareIDs(0, a->GetAbsoluteIdList(), b->GetAbsoluteIdList()) & 0xFFFF) < 0;
    });
    return timer.nsecsElapsed() / 1e9;
}

Figures enumerateOnce(const std::string& path)
{
    const dw::platform::IdListPtr list = dw::platform::parsingNameToIdList(path);
    if (!list) {
        std::fprintf(stderr, "cannot parse %s\n", path.c_str());
        std::exit(1);
    }
    const std::size_t before = heapcounter::liveBytes();
    heapcounter::resetPeak();
    QElapsedTimer timer;
    timer.start();
    Figures figures;
    {
        TStCustomShellController controller;
        TStCollectingTreeTarget tree;
        controller.SetTreeTarget(&tree);
        controller.Enumerate(list.get(), TStEnumerationMode::Tree);
        figures.seconds = timer.nsecsElapsed() / 1e9;
        figures.items = tree.folders.Count();
        figures.withChildren = tree.withChildren;
        figures.sortSeconds = sortSeconds(tree.folders, *controller.GetDesktopFolder());
    }
    figures.peakBytesPerItem = figures.items ? double(heapcounter::peakBytes() - before) / figures.items : 0;
    return figures;
}

void makeFolderCorpus(const QString& root, int folders)
{
    QDir dir(root);
    for (int i = 0; i < folders; ++i) {
        const QString name = QStringLiteral("folder%1").arg(i);
        dir.mkdir(name);
        if (i % 2 == 0) // half have a subfolder, half a file: both kinds of probe
            dir.mkdir(name + QStringLiteral("/sub"));
        else
            QFile(root + QLatin1Char('/') + name + QStringLiteral("/file.dw2")).open(QIODevice::WriteOnly);
    }
}

void makeFileCorpus(const QString& root, int files)
{
    for (int i = 0; i < files; ++i)
        QFile(root + QStringLiteral("/calendar%1.dw2").arg(i)).open(QIODevice::WriteOnly);
}

void measureEnumeration(const std::string& path, int runs)
{
    Figures best;
    best.seconds = 1e30;
    for (int run = 0; run < runs; ++run) {
        const Figures figures = enumerateOnce(path);
        if (figures.seconds < best.seconds)
            best = figures;
    }
    std::printf("  items                 %d (%d with an expand button)\n", best.items, best.withChildren);
    std::printf("  tree enumeration      %.3f s, %.0f items/s (best of %d)\n", best.seconds,
                best.items / best.seconds, runs);
    std::printf("  peak heap per item    %.0f bytes\n", best.peakBytesPerItem);
    std::printf("  sorting them          %.3f s (desktop order of absolute lists)\n", best.sortSeconds);
}

void measureProducer(const std::string& path, int runs)
{
    std::vector<ProducerFigures> all;
    for (int run = 0; run < runs; ++run)
        all.push_back(listThroughProducer(path));
    auto medianOf = [&](double ProducerFigures::*field) {
        std::vector<double> values;
        for (const ProducerFigures& figures : all)
            values.push_back(figures.*field);
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    std::printf("  producer, first batch %.1f ms (median of %d)\n", medianOf(&ProducerFigures::firstBatchSeconds) * 1e3,
                runs);
    std::printf("  producer, last batch  %.1f ms\n", medianOf(&ProducerFigures::lastBatchSeconds) * 1e3);
    std::printf("  longest UI stall      %.1f ms (target: under 20)\n",
                medianOf(&ProducerFigures::longestStallSeconds) * 1e3);
    std::printf("  sorting by keys       %.3f s (the records, as views sort them)\n",
                medianOf(&ProducerFigures::sortByKeysSeconds));
}

void measureProbe(const std::string& path, const QStringList& findArguments, int runs, long children)
{
    const QString probe = QCoreApplication::applicationDirPath() + QStringLiteral("/shell-probe");
    const TimedCommand list{probe, {QStringLiteral("list"), QString::fromStdString(path)}};
    const TimedCommand find{QStringLiteral("find"), QStringList{QString::fromStdString(path)} + findArguments};
    const RatioFigures ratio = timeSideBySide(list, find, runs);
    std::printf("  shell-probe list      %.3f s (median of %d)\n", ratio.medianSeconds, runs);
    std::printf("  find %-16s %.3f s\n", qPrintable(findArguments.mid(0, 4).join(QLatin1Char(' '))),
                ratio.referenceMedianSeconds);
    std::printf("  ratio to find         %.2f (target: at most 2)\n", ratio.ratio());
    const long opens = countOpenatCalls(list);
    if (opens < 0)
        std::printf("  openat per child      n/a (strace is not installed)\n");
    else
        std::printf("  openat per child      %.3f (%ld calls for %ld children, the program's start included)\n",
                    double(opens) / double(children), opens, children);
}

void measure(const char* title, const std::string& path, const QStringList& findArguments, int runs, long children)
{
    std::printf("%s\n", title);
    measureEnumeration(path, std::min(runs, 3));
    measureProducer(path, runs);
    measureProbe(path, findArguments, runs, children);
    std::printf("\n");
}



} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int folders = argument(argc, argv, "--folders", 10000);
    const int files = argument(argc, argv, "--files", 100000);
    const int runs = std::max(1, argument(argc, argv, "--runs", 5));
    // With --dir the corpus is kept there and made only once.
    QTemporaryDir temporary;
    const char* kept = textArgument(argc, argv, "--dir");
    const QString root = kept ? QString::fromLocal8Bit(kept) : temporary.path();
    QDir().mkpath(root);
    if (QDir(root).mkdir(QStringLiteral("folders"))) {
        std::printf("making %d subfolders in %s ...\n", folders, qPrintable(root));
        makeFolderCorpus(root + QStringLiteral("/folders"), folders);
    }
    if (QDir(root).mkdir(QStringLiteral("files"))) {
        std::printf("making %d files in %s ...\n", files, qPrintable(root));
        makeFileCorpus(root + QStringLiteral("/files"), files);
    }
    std::printf("\n");

    const QStringList twoLevels{QStringLiteral("-mindepth"), QStringLiteral("1"), QStringLiteral("-maxdepth"),
                                QStringLiteral("2")};
    const QStringList statEach{QStringLiteral("-mindepth"), QStringLiteral("1"), QStringLiteral("-maxdepth"),
                               QStringLiteral("1"), QStringLiteral("-printf"), QStringLiteral("%y %m %p\n")};
    measure("folder with subfolders", (root + QStringLiteral("/folders")).toStdString(), twoLevels, runs, folders);
    measure("folder with files", (root + QStringLiteral("/files")).toStdString(), statEach, runs, files);
    return 0;
}
