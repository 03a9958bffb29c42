// SPDX-License-Identifier: MIT
// The trash against a plain folder holding the same files: each is listed as
// `shell-probe list` lists it (tree-mode enumeration with attributes and
// display names, then the namespace's order), in turns, and the medians of
// the runs are printed with their ratio. The trash's records ("info/NAME.
// trashinfo") hold the names it shows and sorts by; the goal is a trash that
// lists within 1.5 times the plain folder.
//
//   dw_bench_trash_listing [--entries N] [--runs N] [--dir PATH]

#include "bench/support/BenchArguments.h"
#include "platform/namespace/LinuxShellNamespace.h"
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
#include <vector>

using bench::argument;
using bench::textArgument;

namespace {

using namespace dw::platform;

struct Timing {
    double total = 0;
    double sorting = 0;
};

Timing listSeconds(const std::string& parsingName, int& items)
{
    QElapsedTimer timer;
    timer.start();
    const IdListPtr list = parsingNameToIdList(parsingName);
    if (!list) {
        std::fprintf(stderr, "cannot parse %s\n", parsingName.c_str());
        std::exit(1);
    }
    TStCustomShellController controller;
    TStCollectingTreeTarget tree;
    controller.SetTreeTarget(&tree);
    controller.Enumerate(list.get(), TStEnumerationMode::Tree);
    std::vector<const TStShellFolder*> folders;
    for (int i = 0; i < tree.folders.Count(); ++i)
        folders.push_back(tree.folders.Items(i));
    IShellFolder& desktop = *controller.GetDesktopFolder();
    const qint64 listed = timer.nsecsElapsed();
    std::stable_sort(folders.begin(), folders.end(), [&](const TStShellFolder* a, const TStShellFolder* b) {
        return static_cast<short>(desktop.CompareIDs(0, a->GetAbsoluteIdList(), b->GetAbsoluteIdList()) & 0xFFFF)
            < 0;
    });
    items = static_cast<int>(folders.size());
    const qint64 sorted = timer.nsecsElapsed();
    return {sorted / 1e9, (sorted - listed) / 1e9};
}

void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

// The same names in a plain folder and in the trash, with their records.
void makeCorpus(const QString& root, int entries)
{
    QDir().mkpath(root + QStringLiteral("/plain"));
    QDir().mkpath(root + QStringLiteral("/Trash/files"));
    QDir().mkpath(root + QStringLiteral("/Trash/info"));
    for (int i = 0; i < entries; ++i) {
        const QString name = QStringLiteral("calendar%1.dw2").arg(i);
        writeFile(root + QStringLiteral("/plain/") + name, {});
        writeFile(root + QStringLiteral("/Trash/files/") + name, {});
        writeFile(root + QStringLiteral("/Trash/info/") + name + QStringLiteral(".trashinfo"),
                  "[Trash Info]\nPath=/home/ann/Calendars/" + name.toUtf8()
                      + "\nDeletionDate=2026-01-01T10:00:00\n");
    }
}

double median(const std::vector<Timing>& timings, double Timing::*part)
{
    std::vector<double> values;
    for (const Timing& timing : timings)
        values.push_back(timing.*part);
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}



} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int entries = std::max(1, argument(argc, argv, "--entries", 100000));
    const int runs = std::max(5, argument(argc, argv, "--runs", 5));
    QTemporaryDir temporary;
    const char* kept = textArgument(argc, argv, "--dir"); // with --dir the corpus is made once and kept
    const QString root = kept ? QString::fromLocal8Bit(kept) : temporary.path();
    if (!QDir(root + QStringLiteral("/plain")).exists()) {
        std::printf("making %d files and %d trashed entries in %s ...\n", entries, entries, qPrintable(root));
        makeCorpus(root, entries);
    }
    NamespaceEnvironment environment = NamespaceEnvironment::fromSystem();
    environment.trashPath = (root + QStringLiteral("/Trash")).toStdString();
    const ScopedShellNamespace scope(std::make_shared<LinuxShellNamespace>(environment));
    const std::string plain = (root + QStringLiteral("/plain")).toStdString();

    std::vector<Timing> plainSeconds;
    std::vector<Timing> trashSeconds;
    int plainItems = 0;
    int trashItems = 0;
    for (int run = 0; run < runs; ++run) {
        // Turns alternate, so neither side always finds the cache warmer.
        if (run % 2 == 0) {
            plainSeconds.push_back(listSeconds(plain, plainItems));
            trashSeconds.push_back(listSeconds("trash:///", trashItems));
        } else {
            trashSeconds.push_back(listSeconds("trash:///", trashItems));
            plainSeconds.push_back(listSeconds(plain, plainItems));
        }
    }
    const double plainMedian = median(plainSeconds, &Timing::total);
    const double trashMedian = median(trashSeconds, &Timing::total);
    std::printf("listing and sorting, median of %d runs in turns\n", runs);
    std::printf("  plain folder      %d items  %.3f s (sorting %.3f s)\n", plainItems, plainMedian,
                median(plainSeconds, &Timing::sorting));
    std::printf("  trash             %d items  %.3f s (sorting %.3f s)\n", trashItems, trashMedian,
                median(trashSeconds, &Timing::sorting));
    std::printf("  ratio trash/plain %.2f (goal: at most 1.50)\n", trashMedian / plainMedian);
    return 0;
}
