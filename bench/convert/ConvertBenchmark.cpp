// SPDX-License-Identifier: MIT
// The engine alone, on calendars in memory: how fast it scans text that needs
// no change and converts text full of insertion points, whole and in pieces,
// beside the least any scan costs: finding every newline with memchr.

#include "app/convert/CalendarConverter.h"
#include "app/convert/CalendarStream.h"
#include "bench/convert/CalendarSynth.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

using dw::bench::Layout;

void countLines(benchmark::State& state, std::size_t bytes, std::size_t lines)
{
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes));
    state.counters["lines/s"] =
        benchmark::Counter(double(lines) * double(state.iterations()), benchmark::Counter::kIsRate);
}

using dw::bench::Hand;

std::string calendarText(benchmark::State& state, Layout layout)
{
    // The second argument picks the hand: 0 tidy, 1 varied (any case, tabs,
    // trailing blanks, short lines).
    return dw::bench::synthesizeCalendar(std::size_t(state.range(0)), layout, 42,
                                         state.range(1) ? Hand::Varied : Hand::Tidy);
}

void convertInMemory(benchmark::State& state, Layout layout)
{
    const std::string text = calendarText(state, layout);
    dw::convert::CalendarConverter converter;
    for (auto _ : state) {
        const bool changed = converter.convert(text);
        benchmark::DoNotOptimize(changed);
        benchmark::DoNotOptimize(converter.output().data());
    }
    countLines(state, text.size(), converter.lineCount());
}

struct DiscardingSink : dw::convert::CalendarSink {
    std::size_t bytes = 0;
    int write(std::string_view out) override
    {
        bytes += out.size();
        return 0;
    }
};

// As a run converts a calendar read from a file: in pieces.
void convertInPieces(benchmark::State& state, Layout layout)
{
    const std::string text = calendarText(state, layout);
    dw::convert::CalendarStream stream;
    DiscardingSink sink;
    for (auto _ : state) {
        dw::convert::MemorySource source(text);
        benchmark::DoNotOptimize(stream.convert(source, text.size(), sink).verdict);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
}

void BM_ScanNoChange(benchmark::State& state) { convertInMemory(state, Layout::AlreadyConverted); }
void BM_ConvertWithInsertions(benchmark::State& state) { convertInMemory(state, Layout::NeedsConversion); }
void BM_ScanNoChangeInPieces(benchmark::State& state) { convertInPieces(state, Layout::AlreadyConverted); }
void BM_ConvertInPieces(benchmark::State& state) { convertInPieces(state, Layout::NeedsConversion); }

// The reference: every newline found with memchr, nothing else.
void BM_MemchrLines(benchmark::State& state)
{
    const std::string text = calendarText(state, Layout::AlreadyConverted);
    std::size_t lines = 0;
    for (auto _ : state) {
        lines = 0;
        const char* p = text.data();
        const char* end = p + text.size();
        while (const void* newline = std::memchr(p, '\n', std::size_t(end - p))) {
            p = static_cast<const char*>(newline) + 1;
            ++lines;
        }
        benchmark::DoNotOptimize(lines);
    }
    countLines(state, text.size(), lines);
}

} // namespace

// Arguments: bytes, hand (0 tidy, 1 varied).
BENCHMARK(BM_MemchrLines)->ArgsProduct({{50 << 10, 8 << 20}, {0, 1}});
BENCHMARK(BM_ScanNoChange)->ArgsProduct({{50 << 10, 8 << 20}, {0, 1}});
BENCHMARK(BM_ScanNoChangeInPieces)->ArgsProduct({{8 << 20}, {0, 1}});
BENCHMARK(BM_ConvertWithInsertions)->ArgsProduct({{50 << 10, 8 << 20}, {0, 1}});
BENCHMARK(BM_ConvertInPieces)->ArgsProduct({{8 << 20}, {0, 1}});

BENCHMARK_MAIN();
