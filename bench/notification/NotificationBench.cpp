// SPDX-License-Identifier: MIT
// Change notification figures, end to end: the kernel's reports read by the
// file-system source, delivered to a TStShellNotification watching a folder
// and dispatched to its handlers on the UI thread.
//
//  1. Burst: another thread creates 10,000 files in the watched folder while
//     the UI thread runs its event loop. Prints the time from the first
//     create to the last report handled, how many reports were handled, the
//     longest the component's queue grew, and the memory the process grew by.
//  2. The same burst made while the UI thread is busy, then handled: prints
//     how long handling took and how few reports the folded burst became.
//  3. Latency: one mkdir at a time, 100 times; prints the median (and the
//     90th percentile) from the mkdir call to its folder-create handler.
//
// Usage: dw_bench_notification [FILES] [MKDIRS]
#include "platform/changes/ProcessMemory.h"
#include "platform/namespace/ShellNamespace.h"
#include "shell/items/StShellItem.h"
#include "shell/notification/StShellNotification.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double millisecondsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

void openFolder(const std::string& folder)
{
    // The tree enumerates a folder when it opens it; that makes it watched.
    auto list = dw::platform::parsingNameToIdList(folder);
    auto shellFolder = dw::platform::bindToFolder(list.get());
    std::unique_ptr<dw::platform::IEnumIdList> children;
    if (shellFolder && dw::platform::succeeded(shellFolder->EnumObjects(
            dw::platform::SHCONTF_FOLDERS | dw::platform::SHCONTF_NONFOLDERS, children))) {
        dw::platform::IdListPtr child;
        while (children->Next(child) == dw::platform::S_OK) {
        }
    }
}

void runEventLoopUntilQuiet(const std::atomic<bool>& producerDone, Clock::time_point& lastHandled, int quietMs)
{
    while (true) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (producerDone && millisecondsBetween(lastHandled, Clock::now()) > quietMs)
            return;
        QThread::usleep(200);
    }
}

void burst(int fileCount)
{
    QTemporaryDir temp;
    const std::string folder = fs::canonical(temp.path().toStdString()).string();
    TStShellNotification notification;
    notification.SetWatchFolder(folder);
    notification.SetWatchSubFolders(true);
    notification.QueueLimit = 0; // count every report; the tree would drop beyond its limit
    std::size_t handled = 0;
    std::size_t peakQueue = 0;
    Clock::time_point lastHandled = Clock::now();
    notification.OnShellChangeNotify = [&](QObject*, TStShellItem*, TStShellItem*, TStNotifyEventsSet) {
        ++handled;
        peakQueue = std::max(peakQueue, notification.PendingCount());
        lastHandled = Clock::now();
    };
    notification.SetActive(true);
    openFolder(folder);
    QCoreApplication::processEvents();

    const auto memoryBefore = dw::platform::CurrentResidentKiB();
    std::atomic<bool> producerDone{false};
    const auto start = Clock::now();
    Clock::time_point producerEnd;
    lastHandled = start;
    std::thread producer([&] {
        for (int i = 0; i < fileCount; ++i)
            std::ofstream(folder + "/file" + std::to_string(i) + ".dw2");
        producerEnd = Clock::now();
        producerDone = true;
    });
    runEventLoopUntilQuiet(producerDone, lastHandled, 500);
    producer.join();
    const auto memoryPeak = dw::platform::PeakResidentKiB();

    std::printf("burst: %d files created by another thread\n", fileCount);
    std::printf("  time to last report handled: %.1f ms (creating took %.1f ms; lag after the last create %.1f ms)\n",
                millisecondsBetween(start, lastHandled), millisecondsBetween(start, producerEnd),
                millisecondsBetween(producerEnd, lastHandled));
    std::printf("  reports handled: %zu (bursts are coalesced into folder updates)\n", handled);
    std::printf("  peak queue length: %zu\n", peakQueue);
    std::printf("  resident memory: %llu KiB before, peak %llu KiB\n",
                static_cast<unsigned long long>(memoryBefore), static_cast<unsigned long long>(memoryPeak));
}

// The same burst while the UI thread is busy elsewhere: the changes pile up
// in the kernel's queue and are read in large batches, which fold into
// folder updates.
void burstWhileBusy(int fileCount)
{
    QTemporaryDir temp;
    const std::string folder = fs::canonical(temp.path().toStdString()).string();
    TStShellNotification notification;
    notification.SetWatchFolder(folder);
    notification.SetWatchSubFolders(true);
    std::size_t handled = 0;
    Clock::time_point lastHandled = Clock::now();
    notification.OnShellChangeNotify = [&](QObject*, TStShellItem*, TStShellItem*, TStNotifyEventsSet) {
        ++handled;
        lastHandled = Clock::now();
    };
    notification.SetActive(true);
    openFolder(folder);
    QCoreApplication::processEvents();

    for (int i = 0; i < fileCount; ++i)
        std::ofstream(folder + "/file" + std::to_string(i) + ".dw2");
    const auto start = Clock::now();
    lastHandled = start;
    const std::atomic<bool> done{true};
    runEventLoopUntilQuiet(done, lastHandled, 300);
    std::printf("burst while the UI thread was busy: %d files\n", fileCount);
    std::printf("  time from the UI thread turning to it to the last report handled: %.1f ms\n",
                millisecondsBetween(start, lastHandled));
    std::printf("  reports handled: %zu\n", handled);
}

void latency(int rounds)
{
    QTemporaryDir temp;
    const std::string folder = fs::canonical(temp.path().toStdString()).string();
    TStShellNotification notification;
    notification.SetWatchFolder(folder);
    bool seen = false;
    std::string expected;
    int mismatches = 0;
    notification.OnFolderCreate = [&](QObject*, TStShellItem* item) {
        seen = item != nullptr && item->GetPath() == expected;
        mismatches += seen ? 0 : 1;
    };
    notification.SetActive(true);
    QCoreApplication::processEvents();

    std::vector<double> samples;
    for (int i = 0; i < rounds; ++i) {
        seen = false;
        expected = folder + "/d" + std::to_string(i);
        const auto start = Clock::now();
        fs::create_directory(expected);
        while (!seen && millisecondsBetween(start, Clock::now()) < 2000)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
        if (seen)
            samples.push_back(millisecondsBetween(start, Clock::now()));
    }
    std::sort(samples.begin(), samples.end());
    if (samples.empty()) {
        std::printf("latency: no mkdir reached its handler\n");
        return;
    }
    std::printf("latency: mkdir to folder-create handler, %zu of %d rounds\n", samples.size(), rounds);
    if (mismatches != 0)
        std::printf("  %d reports named another folder\n", mismatches);
    std::printf("  median %.3f ms, 90th percentile %.3f ms, max %.3f ms\n", samples[samples.size() / 2],
                samples[samples.size() * 9 / 10], samples.back());
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int files = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int mkdirs = argc > 2 ? std::atoi(argv[2]) : 100;
    burst(files);
    burstWhileBusy(files);
    latency(mkdirs);
    return 0;
}
