// shell-probe: a developer's view of the shell namespace through the shell
// items and controller. "shell-probe COMMAND ARGUMENTS..."; see each
// command's file.

#include "ProbeCommand.h"

#include "base/application/SsApplication.h"

#include <iostream>

std::vector<ProbeCommand>& probeCommands()
{
    static std::vector<ProbeCommand> commands;
    return commands;
}

namespace {

void printUsage(std::ostream& out)
{
    out << "usage: shell-probe COMMAND ARGUMENTS\n\ncommands:\n";
    for (const ProbeCommand& command : probeCommands())
        out << "  " << command.name << ' ' << command.usage << "\n      " << command.description << "\n";
    out << "\nPATH is an absolute path, \"\" for the desktop, or a virtual folder's parsing name.\n";
}

} // namespace

int main(int argc, char* argv[])
{
    // A handler that fails while watching is reported on standard error
    // ("shell-probe: TEXT"), and the watch goes on.
    TSsCoreApplication application(argc, argv);
    if (argc < 2) {
        printUsage(std::cerr);
        return 2;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        printUsage(std::cout);
        return 0;
    }
    for (const ProbeCommand& command : probeCommands()) {
        if (command.name == name)
            return command.run(std::vector<std::string>(argv + 2, argv + argc), std::cout, std::cerr);
    }
    std::cerr << "shell-probe: unknown command \"" << name << "\"\n";
    printUsage(std::cerr);
    return 2;
}
