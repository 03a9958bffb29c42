// SPDX-License-Identifier: MIT
// CPU the file-system change source spends on a burst of creations, against
// `inotifywait -m` watching the same folder during the very same burst.
//
// Each round makes a fresh folder, has the source watch it (a registration
// with a bare message window that only counts reports, so the figure is the
// source's: reading, translating, id lists, delivery) and starts inotifywait
// on it with the source's event mask and its output thrown away. Another
// thread then creates FILES empty files while this thread runs the event
// loop. Both CPU times are taken as deltas over the burst: this thread's own
// clock for the source, the child's process clock for inotifywait. Rounds
// alternate which of the two is started first; the figures are the medians.
//
// Needs inotifywait (Debian package inotify-tools).
//
// Usage: dw_bench_change_source_cpu [FILES] [ROUNDS]
#include "platform/changes/ChangeNotify.h"
#include "platform/changesource/FileSystemChangeSource.h"
#include "platform/namespace/ShellNamespace.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace dw::platform;
namespace fs = std::filesystem;

double cpuMilliseconds(clockid_t clock)
{
    timespec now{};
    if (::clock_gettime(clock, &now) != 0)
        return -1;
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// inotifywait on `folder`, with the kernel events the source asks for.
class ReferenceWatcher {
public:
    explicit ReferenceWatcher(const std::string& folder)
    {
        process_.setStandardOutputFile(QProcess::nullDevice());
        process_.start("inotifywait", {"-m", "-e", "create", "-e", "delete", "-e", "moved_from", "-e", "moved_to",
                                       "-e", "modify", "-e", "attrib", "-e", "delete_self", "-e", "move_self",
                                       QString::fromStdString(folder)});
        // It says so on standard error once its watch is in place.
        QElapsedTimer waited;
        waited.start();
        while (!process_.readAllStandardError().contains("established") && waited.elapsed() < 5000)
            process_.waitForReadyRead(100);
        if (::clock_getcpuclockid(static_cast<pid_t>(process_.processId()), &clock_) != 0)
            clock_ = -1;
    }
    ~ReferenceWatcher()
    {
        process_.kill();
        process_.waitForFinished();
    }

    double cpuMs() const { return clock_ == -1 ? -1 : cpuMilliseconds(clock_); }

private:
    QProcess process_;
    clockid_t clock_ = -1;
};

// A registration on `folder` whose window only counts what reaches it.
class CountingRegistration {
public:
    explicit CountingRegistration(const std::string& folder)
    {
        IdListPtr list = parsingNameToIdList(folder);
        const SHChangeNotifyEntry entry{list.get(), true};
        id_ = SHChangeNotifyRegister(&window_, SHCNRF_InterruptLevel | SHCNRF_ShellLevel, SHCNE_ALLEVENTS,
                                     WM_USER + 1, 1, &entry);
        QCoreApplication::processEvents();
    }
    ~CountingRegistration() { SHChangeNotifyDeregister(id_); }

    bool registered() const { return id_ != 0; }
    std::size_t reports() const { return reports_; }

private:
    std::size_t reports_ = 0;
    MessageWindow window_{[this](unsigned, WPARAM, LPARAM) {
        ++reports_;
        return LRESULT{0};
    }};
    unsigned long id_ = 0;
};

void createFiles(const std::string& folder, int count)
{
    for (int i = 0; i < count; ++i) {
        const std::string path = folder + "/calendar" + std::to_string(i) + ".dw2";
        const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
        if (fd >= 0)
            ::close(fd);
    }
}

// Runs the event loop, as a program's exec() would, until the producer is
// done and nothing came for a while; the loop sleeps in between.
void runUntilQuiet(const std::atomic<bool>& producerDone, const CountingRegistration& registration)
{
    QEventLoop loop;
    QTimer check;
    std::size_t seen = registration.reports();
    int quietChecks = 0;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        const bool quiet = producerDone && registration.reports() == seen;
        seen = registration.reports();
        quietChecks = quiet ? quietChecks + 1 : 0;
        if (quietChecks == 3)
            loop.quit();
    });
    check.start(100);
    loop.exec();
}

struct RoundFigures {
    double sourceMs;
    double referenceMs;
    std::size_t reports;
};

RoundFigures runRound(const std::string& base, int round, int files)
{
    const std::string folder = base + "/round" + std::to_string(round);
    fs::create_directory(folder);
    // Alternate which watcher is set up first, so neither always has the
    // warmer caches.
    std::unique_ptr<ReferenceWatcher> reference;
    std::unique_ptr<CountingRegistration> registration;
    if (round % 2 == 0)
        reference = std::make_unique<ReferenceWatcher>(folder);
    registration = std::make_unique<CountingRegistration>(folder);
    if (!reference)
        reference = std::make_unique<ReferenceWatcher>(folder);

    std::atomic<bool> producerDone{false};
    const double referenceBefore = reference->cpuMs();
    const double sourceBefore = cpuMilliseconds(CLOCK_THREAD_CPUTIME_ID);
    std::thread producer([&] {
        createFiles(folder, files);
        producerDone = true;
    });
    runUntilQuiet(producerDone, *registration);
    producer.join();
    const double sourceMs = cpuMilliseconds(CLOCK_THREAD_CPUTIME_ID) - sourceBefore;
    const double referenceMs = reference->cpuMs() - referenceBefore;
    return {sourceMs, referenceMs, registration->reports()};
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int files = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int rounds = argc > 2 ? std::max(5, std::atoi(argv[2])) : 7;
    if (QStandardPaths::findExecutable("inotifywait").isEmpty()) {
        std::fprintf(stderr, "dw_bench_change_source_cpu needs inotifywait (Debian package inotify-tools)\n");
        return 2;
    }
    if (FileSystemChangeSource::start() == nullptr)
        return 1;
    QTemporaryDir temp;
    const std::string base = fs::canonical(temp.path().toStdString()).string();

    std::printf("CPU for a burst of %d creations, change source vs inotifywait -m, %d rounds\n", files, rounds);
    std::printf("%6s %12s %16s %8s %8s\n", "round", "source ms", "inotifywait ms", "ratio", "reports");
    std::vector<double> source, reference, ratios;
    for (int round = 0; round < rounds; ++round) {
        const RoundFigures figures = runRound(base, round, files);
        const double ratio = figures.referenceMs > 0 ? figures.sourceMs / figures.referenceMs : 0;
        std::printf("%6d %12.1f %16.1f %8.2f %8zu\n", round + 1, figures.sourceMs, figures.referenceMs, ratio,
                    figures.reports);
        source.push_back(figures.sourceMs);
        reference.push_back(figures.referenceMs);
        ratios.push_back(ratio);
    }
    std::printf("median: source %.1f ms, inotifywait %.1f ms, ratio %.2f (target: at most 2)\n", median(source),
                median(reference), median(ratios));
    return 0;
}
