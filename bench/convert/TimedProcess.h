// SPDX-License-Identifier: MIT
#pragma once
// Runs a program from an argument vector (never through a shell) and says
// how long it took and how much memory it used at most.

#include <string>
#include <vector>

namespace dw::bench {

struct ProcessRun {
    double seconds = 0;
    long peakKilobytes = 0; // resident memory at its highest
    int status = -1;        // exit status, or 128 + signal
};

// Runs `argv` (found on PATH when argv[0] has no slash) with standard output
// sent to /dev/null, unless `keepOutput`.
ProcessRun runProcess(const std::vector<std::string>& argv, bool keepOutput = false);

// Runs several programs one after the other, timed as one.
ProcessRun runProcesses(const std::vector<std::vector<std::string>>& argvs);

} // namespace dw::bench
