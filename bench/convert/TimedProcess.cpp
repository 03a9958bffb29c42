// SPDX-License-Identifier: MIT
#include "bench/convert/TimedProcess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

namespace dw::bench {

namespace {

double now()
{
    struct timespec t {};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

int spawnAndWait(const std::vector<std::string>& argv, bool keepOutput, long& peakKilobytes)
{
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    if (!keepOutput)
        ::posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int error = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        return -1;
    int status = 0;
    struct rusage usage {};
    if (::wait4(pid, &status, 0, &usage) != pid)
        return -1;
    peakKilobytes = usage.ru_maxrss;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

ProcessRun runProcess(const std::vector<std::string>& argv, bool keepOutput)
{
    ProcessRun run;
    const double start = now();
    run.status = spawnAndWait(argv, keepOutput, run.peakKilobytes);
    run.seconds = now() - start;
    return run;
}

ProcessRun runProcesses(const std::vector<std::vector<std::string>>& argvs)
{
    ProcessRun run;
    const double start = now();
    for (const auto& argv : argvs) {
        long peak = 0;
        run.status = spawnAndWait(argv, false, peak);
        run.peakKilobytes = std::max(run.peakKilobytes, peak);
        if (run.status != 0)
            break;
    }
    run.seconds = now() - start;
    return run;
}

} // namespace dw::bench
