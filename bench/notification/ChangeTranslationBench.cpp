// SPDX-License-Identifier: MIT
// Throughput of turning kernel events into shell reports: translating a
// batch of raw events and folding it, as the watcher does for each read.
#include "platform/changes/filewatch/BurstCoalescer.h"
#include "platform/changes/filewatch/ChangeTranslator.h"

#include <benchmark/benchmark.h>

#include <sys/inotify.h>

#include <string>
#include <vector>

namespace {

using namespace dw::platform;

// `count` creations spread over `folders` watched folders.
std::vector<RawWatchEvent> creations(int count, int folders)
{
    std::vector<RawWatchEvent> events;
    events.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        events.push_back({1 + i % folders, IN_CREATE, 0, "calendar" + std::to_string(i) + ".dw2"});
    return events;
}

void translateAndFold(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const int folders = static_cast<int>(state.range(1));
    WatchTable table;
    for (int folder = 1; folder <= folders; ++folder)
        table.add(folder, "/home/user/calendars/folder" + std::to_string(folder));
    const auto events = creations(count, folders);
    std::size_t reports = 0;
    for (auto _ : state) {
        ChangeTranslator translator(table);
        auto changes = coalesceBurst(translator.translate(events).changes);
        reports = changes.size();
        benchmark::DoNotOptimize(changes);
    }
    state.SetItemsProcessed(state.iterations() * count);
    state.counters["reports"] = static_cast<double>(reports);
}

// One folder (a burst folds into one report) and 10,000 folders (nothing folds).
BENCHMARK(translateAndFold)->Args({10000, 1})->Args({10000, 10000})->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
