// The engine alone, on calendars in memory: how fast it scans text that needs
// no change, and how fast it converts text full of insertion points.

#include "app/convert/CalendarConverter.h"
#include "bench/convert/CalendarSynth.h"

#include <benchmark/benchmark.h>
#include <cstring>

namespace {

void convertInMemory(benchmark::State& state, dw::bench::Layout layout)
{
    const std::string text = dw::bench::synthesizeCalendar(std::size_t(state.range(0)), layout, 42);
    dw::convert::CalendarConverter converter;
    for (auto _ : state) {
        const bool changed = converter.convert(text);
        benchmark::DoNotOptimize(changed);
        benchmark::DoNotOptimize(converter.output().data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
    state.counters["lines/s"] = benchmark::Counter(double(converter.lineCount()) * double(state.iterations()),
                                                   benchmark::Counter::kIsRate);
}

void BM_ScanNoChange(benchmark::State& state) { convertInMemory(state, dw::bench::Layout::AlreadyConverted); }
void BM_ConvertWithInsertions(benchmark::State& state) { convertInMemory(state, dw::bench::Layout::NeedsConversion); }

} // namespace

BENCHMARK(BM_ScanNoChange)->Arg(50 << 10)->Arg(8 << 20);
BENCHMARK(BM_ConvertWithInsertions)->Arg(50 << 10)->Arg(8 << 20);

BENCHMARK_MAIN();

namespace {
void BM_MemchrLines(benchmark::State& state)
{
    const std::string text = dw::bench::synthesizeCalendar(std::size_t(state.range(0)), dw::bench::Layout::AlreadyConverted, 42);
    std::size_t lines = 0;
    for (auto _ : state) {
        lines = 0;
        const char* p = text.data();
        const char* end = p + text.size();
        while (const void* nl = std::memchr(p, '\n', std::size_t(end - p))) {
            p = static_cast<const char*>(nl) + 1;
            ++lines;
        }
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
    state.counters["lines/s"] = benchmark::Counter(double(lines) * double(state.iterations()), benchmark::Counter::kIsRate);
}
}
BENCHMARK(BM_MemchrLines)->Arg(50 << 10)->Arg(8 << 20);
