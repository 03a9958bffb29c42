// shell-probe list PATH: the children of the folder PATH parses to, as the
// folder tree enumerates them with files and hidden items, in the
// namespace's order, one per line:
//
//   display name <TAB> parsing name <TAB> attributes (0x%08X) <TAB> drive type or "-"

#include "ProbeCommand.h"
#include "ProbeOutput.h"

#include "platform/namespace/ShellNamespace.h"
#include "shell/controller/StCollectingTreeTarget.h"
#include "shell/controller/StShellController.h"

#include <algorithm>
#include <cstdio>

namespace {

using namespace dw::platform;

constexpr SfgaoFlags kListedAttributes = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_HIDDEN | SFGAO_LINK
    | SFGAO_HASSUBFOLDER | SFGAO_CANRENAME | SFGAO_COMPRESSED | SFGAO_SHARE;

std::string attributeText(const TStShellFolder& folder)
{
    SfgaoFlags attributes = kListedAttributes;
    if (!folder.GetParentFolder()
        || failed(folder.GetParentFolder()->GetAttributesOf({folder.GetRelativeIdList()}, attributes)))
        attributes = 0;
    char text[11];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(attributes));
    return text;
}

std::string driveText(const TStShellFolder& folder)
{
    const auto type = currentShellNamespace().volumeDriveType(folder.GetAbsoluteIdList());
    return type ? driveTypeName(*type) : "-";
}

std::vector<TStShellFolder*> inNamespaceOrder(TStShellFolderList& list, IShellFolder& desktop)
{
    std::vector<TStShellFolder*> folders;
    for (int i = 0; i < list.Count(); ++i)
        folders.push_back(list.Items(i));
    std::stable_sort(folders.begin(), folders.end(), [&](TStShellFolder* a, TStShellFolder* b) {
        const HResult order = desktop.CompareIDs(0, a->GetAbsoluteIdList(), b->GetAbsoluteIdList());
        return static_cast<short>(order & 0xFFFF) < 0;
    });
    return folders;
}

int runList(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    if (arguments.size() != 1) {
        err << "usage: shell-probe list PATH\n";
        return 2;
    }
    const IdListPtr list = parsingNameToIdList(arguments[0]);
    if (!list) {
        err << invalidFolderText() << "\n";
        return 1;
    }
    TStCustomShellController controller;
    TStCollectingTreeTarget tree;
    controller.SetTreeTarget(&tree);
    controller.Enumerate(list.get(), TStEnumerationMode::Tree);
    for (TStShellFolder* folder : inNamespaceOrder(tree.folders, *controller.GetDesktopFolder())) {
        out << folder->GetDisplayName() << '\t' << escapedBytes(folder->GetPath()) << '\t' << attributeText(*folder)
            << '\t' << driveText(*folder) << '\n';
    }
    return 0;
}

const ProbeCommandRegistration registration{"list", "PATH", "the children of the folder PATH, one per line",
                                            runList};

} // namespace
