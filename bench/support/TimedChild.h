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

} // namespace bench
