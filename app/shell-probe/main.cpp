// SPDX-License-Identifier: MIT
// shell-probe: a developer's view of the shell namespace through the shell
// items and controller. "shell-probe COMMAND ARGUMENTS..."; see each
// command's file.

#include "ProbeCommand.h"

#include "base/application/SsApplication.h"

#include <cstdlib>
#include <iostream>
#include <memory>

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

// Only the tree and the file list need widgets; they are built offscreen
// unless told otherwise, and their failures go to standard error like the
// others'.
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv)
{
    if (argc >= 2 && (std::string(argv[1]) == "tree" || std::string(argv[1]) == "files")) {
        if (!std::getenv("QT_QPA_PLATFORM"))
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        auto application = std::make_unique<TSsApplication>(argc, argv);
        application->SetErrorBox([](const QString&, const QString& text) {
            std::cerr << "shell-probe: " << text.toStdString() << "\n";
        });
        return application;
    }
    return std::make_unique<TSsCoreApplication>(argc, argv);
}

} // namespace

int main(int argc, char* argv[])
{
    // A handler that fails is reported on standard error ("shell-probe:
    // TEXT"), and the program goes on.
    const std::unique_ptr<QCoreApplication> application = makeApplication(argc, argv);
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
