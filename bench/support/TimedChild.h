// SPDX-License-Identifier: MIT
#pragma once
// Runs one piece of work in a child process, stopped after a time limit, so
// that work that does not end (a reader made to cost more than its input)
// shows as such instead of holding the benchmark, and its memory is its
// own: the child's peak resident memory above what it had at its start.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <malloc.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace bench {

struct ChildRun {
    double seconds = 0;   // the limit when it did not finish
    double addedMib = 0;  // peak resident memory the work added
    bool finished = false;
};

// Work that throws is a fault of the benchmark, not a slow run.
[[noreturn]] inline void failInChild(const char* what)
{
    std::fprintf(stderr, "benchmark work failed: %s\n", what);
    std::fflush(stderr);
    ::_exit(3);
}

inline double residentMib()
{
    long pages = 0;
    long resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return double(resident) * double(::sysconf(_SC_PAGESIZE)) / (1024 * 1024);
}

inline ChildRun runInChild(const std::function<void()>& work, unsigned limitSeconds)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        ::alarm(limitSeconds);
        ::malloc_trim(0); // free pages the work could reuse unseen
        const double residentAtStart = residentMib();
        const auto start = std::chrono::steady_clock::now();
        try {
            work();
        } catch (const std::exception& error) {
            failInChild(error.what());
        }
        ChildRun run;
        run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        run.addedMib = std::max(0.0, double(usage.ru_maxrss) / 1024 - residentAtStart);
        run.finished = true;
        const bool written = ::write(pipeEnds[1], &run, sizeof run) == sizeof run;
        ::_exit(written ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    ChildRun run;
    if (::read(pipeEnds[0], &run, sizeof run) != sizeof run)
        run = {double(limitSeconds), 0, false};
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 3)
        std::exit(3);
    return run;
}

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Medians of `runs` interleaved runs of the work and of its reference, each
// in a child of its own.
struct SideBySide {
    double seconds = 0;
    double referenceSeconds = 0;
    double addedMib = 0;
    double referenceAddedMib = 0;
    bool finished = true; // every run of the work ended within the limit

    double ratio() const { return seconds / referenceSeconds; }
};

inline SideBySide runSideBySide(const std::function<void()>& work, const std::function<void()>& reference, int runs,
                                unsigned limitSeconds)
{
    std::vector<double> times, referenceTimes, added, referenceAdded;
    SideBySide result;
    for (int run = 0; run < runs; ++run) {
        for (int turn = 0; turn < 2; ++turn) {
            const bool referenceTurn = (run + turn) % 2 == 1;
            const ChildRun child = runInChild(referenceTurn ? reference : work, limitSeconds);
            (referenceTurn ? referenceTimes : times).push_back(child.seconds);
            (referenceTurn ? referenceAdded : added).push_back(child.addedMib);
            if (!referenceTurn)
                result.finished = result.finished && child.finished;
        }
    }
    result.seconds = median(times);
    result.referenceSeconds = median(referenceTimes);
    result.addedMib = median(added);
    result.referenceAddedMib = median(referenceAdded);
    return result;
}

// "  1.2345 s", or "> 30.0000 s" for work stopped at the limit.
inline std::string secondsText(double seconds, bool finished)
{
    char text[32];
    std::snprintf(text, sizeof text, "%s%9.4f s", finished ? " " : ">", seconds);
    return text;
}

// One line: the work's and the reference's medians, their ratio (a lower
// bound when the work was stopped) and what each added to memory.
inline void printSideBySide(const std::string& what, const SideBySide& figures)
{
    std::printf("%-50s %s  plain %s  ratio %s%8.1f   peak %7.1f MiB  plain %7.1f MiB\n", what.c_str(),
                secondsText(figures.seconds, figures.finished).c_str(),
                secondsText(figures.referenceSeconds, true).c_str(), figures.finished ? " " : ">", figures.ratio(),
                figures.addedMib, figures.referenceAddedMib);
    std::fflush(stdout);
}

} // namespace bench
