// SPDX-License-Identifier: MIT
// shell-probe parse PATH: the absolute id list PATH parses to, in hex, then
// the item's display name and parsing name, one per line.

#include "ProbeCommand.h"
#include "ProbeOutput.h"

#include "platform/namespace/ShellNamespace.h"
#include "shell/controller/StShellController.h"
#include "shell/items/StShellItem.h"

namespace {

int runParse(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    if (arguments.size() != 1) {
        err << "usage: shell-probe parse PATH\n";
        return 2;
    }
    const dw::platform::IdListPtr list = dw::platform::parsingNameToIdList(arguments[0]);
    if (!list) {
        err << invalidFolderText() << "\n";
        return 1;
    }
    TStCustomShellController controller;
    const TStShellItem item(list.get(), &controller);
    out << idListHex(list.get()) << "\n" << item.GetDisplayName() << "\n" << escapedBytes(item.GetPath()) << "\n";
    return 0;
}

const ProbeCommandRegistration registration{"parse", "PATH", "the id list, display name and parsing name of PATH",
                                            runParse};

} // namespace
