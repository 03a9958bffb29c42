// SPDX-License-Identifier: MIT
#include "platform/contextmenu/FileContextMenu.h"

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

HResult FileContextMenu::QueryContextMenu(std::vector<ContextMenuEntry>& menu, unsigned indexMenu,
                                          unsigned idCmdFirst, unsigned idCmdLast, unsigned flags)
{
    if (idCmdLast < idCmdFirst || idCmdLast - idCmdFirst + 1 < MENU_VERB_COUNT)
        return E_INVALIDARG;
    const bool fileSystem = allFileSystem();
    const bool single = targets_.size() == 1;
    std::vector<ContextMenuEntry> entries;
    auto add = [&](MenuVerb verb, bool enabled = true) {
        const VerbInfo* info = verbAt(static_cast<unsigned>(verb));
        entries.push_back({idCmdFirst + static_cast<unsigned>(verb), info->text, info->name,
                           verb == MenuVerb::Open, enabled});
    };
    auto separator = [&] {
        if (!entries.empty() && !entries.back().separator())
            entries.push_back({});
    };
    add(MenuVerb::Open);
    if (flags & CMF_DEFAULTONLY) {
        menu.insert(menu.begin() + std::min<std::size_t>(indexMenu, menu.size()), entries.begin(), entries.end());
        return MENU_VERB_COUNT;
    }
    if (single && fileSystem && !(targets_.front().attributes & SFGAO_FOLDER))
        add(MenuVerb::OpenWith);
    separator();
    if (singleFolder() && fileSystem)
        add(MenuVerb::NewFolder);
    if (fileSystem)
        add(MenuVerb::CopyLocation);
    separator();
    if ((flags & CMF_CANRENAME) && single)
        add(MenuVerb::Rename, (targets_.front().attributes & SFGAO_CANRENAME) != 0);
    if (fileSystem && allHave(SFGAO_CANDELETE)) { // never volumes, the home folder or mount points
        add(MenuVerb::MoveToTrash);
        if (flags & CMF_EXTENDEDVERBS)
            add(MenuVerb::DeletePermanently);
    }
    if (fileSystem) {
        separator();
        add(MenuVerb::Properties);
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
    HResult result = S_OK;
    for (const MenuTarget& target : targets_) {
        if (!currentShellNamespace().executeDefaultVerb(target.absolute.get())) {
            ui.showError("Open", "Could not open " + quotedPath(target.path) + ".");
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
    const HResult result = createFolder(target.absolute.get(), target.path, name);
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
    if (!allHave(SFGAO_CANDELETE))
        return E_ACCESSDENIED;
    HResult result = S_OK;
    for (const MenuTarget& target : targets_) {
        if (const HResult moved = moveItemToTrash(target.absolute.get(), target.path); failed(moved)) {
            ui.showError("Move to Trash", "Could not move " + quotedPath(target.path) + " to the trash. "
                                              + shellErrorText(moved));
            result = moved;
        }
    }
    return result;
}

HResult FileContextMenu::deletePermanently(IShellUi& ui)
{
    if (!allHave(SFGAO_CANDELETE))
        return E_ACCESSDENIED;
    const std::string what = targets_.size() == 1 ? quotedPath(targets_.front().path)
                                                  : std::to_string(targets_.size()) + " items";
    if (!ui.confirm("Delete Permanently", "Delete " + what + " permanently? This cannot be undone."))
        return S_FALSE;
    HResult result = S_OK;
    for (const MenuTarget& target : targets_) {
        if (const HResult deleted = deleteItemPermanently(target.absolute.get(), target.path); failed(deleted)) {
            ui.showError("Delete Permanently", "Could not delete " + quotedPath(target.path) + ". "
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
