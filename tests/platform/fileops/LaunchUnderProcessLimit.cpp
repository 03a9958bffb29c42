// SPDX-License-Identifier: MIT
// Test helper: launches `PROGRAM ARGUMENTS...` with the process launcher
// while this user may start exactly one more process, so that a launcher
// needing two cannot get its second. Exit status: 0 reported started,
// 3 reported not started, 2 usage or set-up error.
//
//   launch-under-process-limit PROGRAM [ARGUMENTS...]

#include "platform/fileops/ProcessLauncher.h"

#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Tasks (threads included, as the limit counts them) whose real user is ours.
long tasksOfThisUser()
{
    const std::string uid = std::to_string(::getuid());
    long tasks = 0;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return -1;
    while (const dirent* entry = ::readdir(proc)) {
        if (entry->d_name[0] < '1' || entry->d_name[0] > '9')
            continue; // not a process ("self" would count us twice)
        std::ifstream status(std::string("/proc/") + entry->d_name + "/status");
        std::string line;
        bool ours = false;
        while (std::getline(status, line)) {
            if (line.rfind("Uid:", 0) == 0)
                ours = line.substr(4).find_first_not_of(" \t") != std::string::npos
                    && std::stol(line.substr(4)) == std::stol(uid);
            else if (ours && line.rfind("Threads:", 0) == 0)
                tasks += std::stol(line.substr(8));
        }
    }
    ::closedir(proc);
    return tasks;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const long tasks = tasksOfThisUser();
    if (tasks <= 0)
        return 2;
    const rlimit oneMore{static_cast<rlim_t>(tasks + 1), static_cast<rlim_t>(tasks + 1)};
    if (::setrlimit(RLIMIT_NPROC, &oneMore) != 0)
        return 2;
    const bool started = dw::platform::launchDetached(std::vector<std::string>(argv + 1, argv + argc));
    std::printf("%s\n", started ? "started" : "not started");
    return started ? 0 : 3;
}
