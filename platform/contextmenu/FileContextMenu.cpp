// SPDX-License-Identifier: MIT
#include "platform/contextmenu/FileContextMenu.h"

#include "platform/contextmenu/VerbWork.h"
#include "platform/fileops/FileOperations.h"
#include "platform/fileops/ProcessLauncher.h"
#include "platform/namespace/DisplayText.h"
#include "platform/namespace/ShellErrors.h"
#include "platform/namespace/ShellNamespace.h"


namespace dw::platform {

namespace {

struct VerbInfo {
    MenuVerb verb;
    const char* text;
    const char* name;
};

constexpr VerbInfo kVerbs[] = {
    {MenuVerb::Open, "&Open", "open"},
    {MenuVerb::OpenWith, "Open &With…", "openwith"},
    {MenuVerb::NewFolder, "&New Folder", "newfolder"},
    {MenuVerb::CopyLocation, "Copy &Location", "copylocation"},
    {MenuVerb::Rename, "Rena&me", "rename"},
    {MenuVerb::MoveToTrash, "Move to &Trash", "trash"},
    {MenuVerb::DeletePermanently, "&Delete Permanently", "delete"},
    {MenuVerb::Properties, "P&roperties", "properties"},
};

const VerbInfo* verbAt(unsigned offset)
{
    for (const VerbInfo& info : kVerbs) {
        if (static_cast<unsigned>(info.verb) == offset)
            return &info;
    }
    return nullptr;
}

std::string quotedPath(const std::string& path)
{
    return "\"" + displayTextFromBytes(path) + "\"";
}

std::string quotedName(const MenuTarget& target)
{
    return target.path.empty() ? "\"" + target.name + "\"" : quotedPath(target.path);
}

} // namespace

FileContextMenu::FileContextMenu(std::vector<MenuTarget> targets) : targets_(std::move(targets)) {}

bool FileContextMenu::allFileSystem() const
{
    for (const MenuTarget& target : targets_) {
        if (!(target.attributes & SFGAO_FILESYSTEM) || target.path.empty())
            return false;
    }
    return true;
}

bool FileContextMenu::allHave(SfgaoFlags attribute) const
{
    for (const MenuTarget& target : targets_) {
        if (!(target.attributes & attribute))
            return false;
    }
    return true;
}

bool FileContextMenu::singleFolder() const
{
    return targets_.size() == 1 && (targets_.front().attributes & SFGAO_FOLDER);
}

bool FileContextMenu::works(MenuVerb verb) const
{
    const bool fileSystem = !targets_.empty() && allFileSystem();
    const bool single = targets_.size() == 1;
    switch (verb) {
    case MenuVerb::Open:
    case MenuVerb::CopyLocation:
    case MenuVerb::Properties:
        return fileSystem;
    case MenuVerb::OpenWith:
        return fileSystem && single && !singleFolder();
    case MenuVerb::NewFolder:
        return fileSystem && singleFolder() && targets_.front().takesNewEntries;
    case MenuVerb::Rename:
        return single && allHave(SFGAO_CANRENAME);
    case MenuVerb::MoveToTrash:
    case MenuVerb::DeletePermanently:
        return fileSystem && allHave(SFGAO_CANDELETE); // never volumes, the home folder or mount points
    }
    return false;
}

HResult FileContextMenu::QueryContextMenu(std::vector<ContextMenuEntry>& menu, unsigned indexMenu,
                                          unsigned idCmdFirst, unsigned idCmdLast, unsigned flags)
{
    if (idCmdLast < idCmdFirst || idCmdLast - idCmdFirst + 1 < MENU_VERB_COUNT)
        return E_INVALIDARG;
    std::vector<ContextMenuEntry> entries;
    auto add = [&](MenuVerb verb) {
        if (!works(verb))
            return;
        const VerbInfo* info = verbAt(static_cast<unsigned>(verb));
        entries.push_back({idCmdFirst + static_cast<unsigned>(verb), info->text, info->name,
                           verb == MenuVerb::Open, true});
    };
    auto separator = [&] {
        if (!entries.empty() && !entries.back().separator())
            entries.push_back({});
    };
    add(MenuVerb::Open);
    if (!(flags & CMF_DEFAULTONLY)) {
        add(MenuVerb::OpenWith);
        separator();
        add(MenuVerb::NewFolder);
        add(MenuVerb::CopyLocation);
        separator();
        if (flags & CMF_CANRENAME)
            add(MenuVerb::Rename);
        add(MenuVerb::MoveToTrash);
        if (flags & CMF_EXTENDEDVERBS)
            add(MenuVerb::DeletePermanently);
        separator();
        add(MenuVerb::Properties);
        if (!entries.empty() && entries.back().separator())
            entries.pop_back();
    }
    menu.insert(menu.begin() + std::min<std::size_t>(indexMenu, menu.size()), entries.begin(), entries.end());
    return MENU_VERB_COUNT;
}

HResult FileContextMenu::GetCommandString(unsigned verbOffset, std::string& verb)
{
    const VerbInfo* info = verbAt(verbOffset);
    if (!info)
        return E_INVALIDARG;
    verb = info->name;
    return S_OK;
}

HResult FileContextMenu::InvokeCommand(unsigned verbOffset, IShellUi& ui)
{
    const VerbInfo* info = verbAt(verbOffset);
    if (!info)
        return E_INVALIDARG;
    if (!works(info->verb))
        return E_NOTIMPL;
    switch (info->verb) {
    case MenuVerb::Open:
        return open(ui);
    case MenuVerb::OpenWith:
        return openWith(ui);
    case MenuVerb::NewFolder:
        return newFolder(ui);
    case MenuVerb::CopyLocation:
        return copyLocation(ui);
    case MenuVerb::MoveToTrash:
        return trash(ui);
    case MenuVerb::DeletePermanently:
        return deletePermanently(ui);
    case MenuVerb::Properties:
        return properties(ui);
    case MenuVerb::Rename:
        return S_OK;
    }
    return E_INVALIDARG;
}

HResult FileContextMenu::open(IShellUi& ui)
{
    // Starting the desktop's opener waits on no disk of ours.
    HResult result = S_OK;
    for (const MenuTarget& target : targets_) {
        if (!currentShellNamespace().executeDefaultVerb(target.absolute.get())) {
            ui.showError("Open", "Could not open " + quotedName(target) + ".");
            result = E_FAIL;
        }
    }
    return result;
}

HResult FileContextMenu::openWith(IShellUi& ui)
{
    const MenuTarget& target = targets_.front();
    std::vector<std::string> command;
    if (!ui.chooseApplication(target.path, command) || command.empty())
        return S_FALSE;
    if (!launchDetached(command)) {
        ui.showError("Open With", "Could not start \"" + command.front() + "\".");
        return E_FAIL;
    }
    return S_OK;
}

HResult FileContextMenu::newFolder(IShellUi& ui)
{
    const MenuTarget& target = targets_.front();
    std::string name = "New Folder";
    if (!ui.askText("New Folder", "Name of the new folder:", name))
        return S_FALSE;
    const HResult result
        = runVerbWork(ui, volumeKeyOfItem(target.absolute.get()),
                      [folder = shareItem(target.absolute.get()), path = target.path, name] {
                          return createFolder(folder.get(), path, name);
                      });
    if (failed(result))
        ui.showError("New Folder", "Could not create the folder \"" + name + "\". " + shellErrorText(result));
    return result;
}

HResult FileContextMenu::copyLocation(IShellUi& ui)
{
    std::string text;
    for (const MenuTarget& target : targets_) {
        if (!text.empty())
            text.push_back('\n');
        text += target.path;
    }
    ui.copyText(text);
    return S_OK;
}

HResult FileContextMenu::trash(IShellUi& ui)
{
    HResult result = S_OK;
    for (const MenuTarget& target : targets_) {
        const HResult moved = runVerbWork(ui, volumeKeyOfItem(target.absolute.get()),
                                          [item = shareItem(target.absolute.get()), path = target.path] {
                                              return moveItemToTrash(item.get(), path);
                                          });
        if (failed(moved)) {
            ui.showError("Move to Trash", "Could not move " + quotedName(target) + " to the trash. "
                                              + shellErrorText(moved));
            result = moved;
        }
    }
    return result;
}

HResult FileContextMenu::deletePermanently(IShellUi& ui)
{
    const std::string what = targets_.size() == 1 ? quotedName(targets_.front())
                                                  : std::to_string(targets_.size()) + " items";
    if (!ui.confirm("Delete Permanently", "Delete " + what + " permanently? This cannot be undone."))
        return S_FALSE;
    HResult result = S_OK;
    for (const MenuTarget& target : targets_) {
        const HResult deleted = runVerbWork(ui, volumeKeyOfItem(target.absolute.get()),
                                            [item = shareItem(target.absolute.get()), path = target.path] {
                                                return deleteItemPermanently(item.get(), path);
                                            });
        if (failed(deleted)) {
            ui.showError("Delete Permanently", "Could not delete " + quotedName(target) + ". "
                                                   + shellErrorText(deleted));
            result = deleted;
        }
    }
    return result;
}

HResult FileContextMenu::properties(IShellUi& ui)
{
    std::vector<std::string> paths;
    for (const MenuTarget& target : targets_)
        paths.push_back(target.path);
    ui.showProperties(paths);
    return S_OK;
}

} // namespace dw::platform
