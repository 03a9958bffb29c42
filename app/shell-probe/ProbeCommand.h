// SPDX-License-Identifier: MIT
#pragma once
// The commands of shell-probe. Each command lives in its own file and
// registers itself with one line:
//
//   static const ProbeCommandRegistration registration{"list", "PATH", "…", runList};

#include <ostream>
#include <string>
#include <vector>

using ProbeCommandRun = int (*)(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

struct ProbeCommand {
    std::string name;
    std::string usage;       // the arguments, e.g. "PATH"
    std::string description; // one line
    ProbeCommandRun run;
};

std::vector<ProbeCommand>& probeCommands();

struct ProbeCommandRegistration {
    ProbeCommandRegistration(std::string name, std::string usage, std::string description, ProbeCommandRun run)
    {
        probeCommands().push_back({std::move(name), std::move(usage), std::move(description), run});
    }
};
