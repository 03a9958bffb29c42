// SPDX-License-Identifier: MIT
// shell-probe watch [--depth N] PATH: opens the folder PATH parses to (and,
// with --depth, its subfolders down to N levels, as a tree that expanded
// them), watches it with its subfolders through TStShellNotification and
// prints one line per handler call as it is dispatched, until interrupted:
//
//   member name (e.g. neFolderCreate) <TAB> parsing name of item 1 <TAB> of item 2
//
// "-" stands for an item the handler does not get; the free-space handler
// shows its drive mask as 0xXXXXXXXX. Changes are seen in every folder below
// PATH, opened or not (up to the budget of watched folders for subtrees),
// and in every folder opened. A notice that live updates are incomplete
// goes to stderr.

#include "ProbeCommand.h"
#include "ProbeOutput.h"

#include "platform/changes/LiveUpdateNotice.h"
#include "platform/namespace/ShellNamespace.h"
#include "shell/items/StShellItem.h"
#include "shell/notification/StShellNotification.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

namespace {

using namespace dw::platform;

// Enumerates `folder` (which makes it watched) and its subfolders below,
// `depth` levels in all.
void openFolder(const ItemIdList* folder, int depth)
{
    if (depth <= 0)
        return;
    const ShellFolderPtr shellFolder = bindToFolder(folder);
    std::unique_ptr<IEnumIdList> children;
    if (!shellFolder || failed(shellFolder->EnumObjects(SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN, children)))
        return;
    IdListPtr child;
    std::vector<IdListPtr> subfolders;
    while (children->Next(child) == S_OK)
        subfolders.push_back(IdListPtr(ILCombine(folder, child.get())));
    for (const auto& subfolder : subfolders)
        openFolder(subfolder.get(), depth - 1);
}

std::string nameOf(const TStShellItem* item)
{
    return item == nullptr ? std::string("-") : escapedBytes(item->GetPath());
}

class LinePrinter {
public:
    explicit LinePrinter(std::ostream& out) : out_(out) {}

    void line(TStNotifyEvents member, const std::string& item1, const std::string& item2)
    {
        out_ << NotifyEventName(member) << '\t' << item1 << '\t' << item2 << std::endl;
    }
    auto none(TStNotifyEvents member)
    {
        return [this, member](QObject*) { line(member, "-", "-"); };
    }
    auto one(TStNotifyEvents member)
    {
        return [this, member](QObject*, TStShellItem* item) { line(member, nameOf(item), "-"); };
    }
    auto two(TStNotifyEvents member)
    {
        return [this, member](QObject*, TStShellItem* a, TStShellItem* b) { line(member, nameOf(a), nameOf(b)); };
    }

private:
    std::ostream& out_;
};

void printEveryHandlerCall(TStShellNotification& n, LinePrinter& p)
{
    n.OnAssociationChange = p.none(neAssociationChange);
    n.OnAttributeChange = p.two(neAttributesChange);
    n.OnFileChange = p.one(neFileChange);
    n.OnFileCreate = p.one(neFileCreate);
    n.OnFileDelete = p.two(neFileDelete);
    n.OnFileRename = p.two(neFileRename);
    n.OnDriveAdd = p.one(neDriveAdd);
    n.OnDriveRemove = p.one(neDriveRemove);
    n.OnShellDriveAdd = p.one(neShellDriveAdd);
    n.OnDriveSpaceChange = [&p](QObject*, std::uint32_t drives) {
        char mask[11];
        std::snprintf(mask, sizeof mask, "0x%08X", static_cast<unsigned>(drives));
        p.line(neDriveSpaceChange, mask, "-");
    };
    n.OnMediaInsert = p.one(neMediaInsert);
    n.OnMediaRemove = p.one(neMediaRemove);
    n.OnFolderCreate = p.one(neFolderCreate);
    n.OnFolderDelete = p.one(neFolderDelete);
    n.OnFolderRename = p.two(neFolderRename);
    n.OnFolderChange = p.one(neFolderUpdate);
    n.OnNetShare = p.one(neNetShare);
    n.OnNetUnShare = p.one(neNetUnShare);
    n.OnServerDisconnect = p.one(neServerDisconnect);
    n.OnImageListChange = p.none(neImageListChange);
}

bool parseArguments(const std::vector<std::string>& arguments, std::string& path, int& depth)
{
    depth = 1;
    std::size_t at = 0;
    if (arguments.size() == 3 && arguments[0] == "--depth") {
        char* end = nullptr;
        const long value = std::strtol(arguments[1].c_str(), &end, 10);
        if (end == arguments[1].c_str() || *end != '\0' || value < 1 || value > 64)
            return false;
        depth = static_cast<int>(value);
        at = 2;
    }
    if (arguments.size() != at + 1)
        return false;
    path = arguments[at];
    return true;
}

int runWatch(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    std::string path;
    int depth = 1;
    if (!parseArguments(arguments, path, depth)) {
        err << "usage: shell-probe watch [--depth N] PATH\n";
        return 2;
    }
    const IdListPtr folder = parsingNameToIdList(path);
    if (!folder) {
        err << invalidFolderText() << "\n";
        return 1;
    }
    SetLiveUpdateNoticeHandler([&err](const std::string& notice) { err << "shell-probe: " << notice << std::endl; });
    LinePrinter printer(out);
    TStShellNotification notification;
    printEveryHandlerCall(notification, printer);
    notification.SetWatchPidl(folder.get());
    notification.SetWatchSubFolders(true);
    notification.SetActive(true);
    if (!notification.IsRegistered()) {
        err << "shell-probe: the folder cannot be watched\n";
        return 1;
    }
    openFolder(folder.get(), depth);
    return QCoreApplication::exec();
}

const ProbeCommandRegistration registration{
    "watch", "[--depth N] PATH",
    "prints the changes in the folder PATH and its subfolders until interrupted (opening N levels as a tree would)",
    runWatch};

} // namespace
