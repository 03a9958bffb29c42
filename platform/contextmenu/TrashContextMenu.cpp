// SPDX-License-Identifier: MIT
#include "platform/contextmenu/TrashContextMenu.h"

#include "platform/contextmenu/VerbWork.h"
#include "platform/fileops/TrashOperations.h"
#include "platform/namespace/DisplayText.h"
#include "platform/namespace/ShellErrors.h"
#include "platform/namespace/ShellNamespace.h"

#include <algorithm>

namespace dw::platform {

namespace {

std::string nameOf(const TrashMenuTarget& target)
{
    const std::size_t slash = target.originalPath.rfind('/');
    const std::string name = target.originalPath.empty() ? target.entryName : target.originalPath.substr(slash + 1);
    return "\"" + displayTextFromBytes(name) + "\"";
}

} // namespace

TrashContextMenu::TrashContextMenu(std::string trashPath, std::vector<TrashMenuTarget> targets)
    : trashPath_(std::move(trashPath)), targets_(std::move(targets))
{
}

bool TrashContextMenu::restorable() const
{
    return std::all_of(targets_.begin(), targets_.end(), [](const TrashMenuTarget& target) {
        return !target.originalPath.empty() && target.originalPath.front() == '/';
    });
}

std::string TrashContextMenu::volumeKey() const
{
    return currentShellNamespace().volumeKeyOfParsingName(trashPath_);
}

HResult TrashContextMenu::QueryContextMenu(std::vector<ContextMenuEntry>& menu, unsigned indexMenu,
                                           unsigned idCmdFirst, unsigned idCmdLast, unsigned)
{
    if (idCmdLast < idCmdFirst || idCmdLast - idCmdFirst < kRestoreOffset)
        return E_INVALIDARG;
    std::vector<ContextMenuEntry> entries;
    if (restorable()) {
        entries.push_back({idCmdFirst + kRestoreOffset, "&Restore", "restore", true, true});
        entries.push_back({});
    }
    entries.push_back({idCmdFirst + kDeleteOffset, "&Delete Permanently", "delete", !restorable(), true});
    menu.insert(menu.begin() + std::min<std::size_t>(indexMenu, menu.size()), entries.begin(), entries.end());
    return kRestoreOffset + 1;
}

HResult TrashContextMenu::GetCommandString(unsigned verbOffset, std::string& verb)
{
    if (verbOffset == kRestoreOffset)
        verb = "restore";
    else if (verbOffset == kDeleteOffset)
        verb = "delete";
    else
        return E_INVALIDARG;
    return S_OK;
}

HResult TrashContextMenu::InvokeCommand(unsigned verbOffset, IShellUi& ui)
{
    if (verbOffset == kRestoreOffset)
        return restore(ui);
    if (verbOffset == kDeleteOffset)
        return deleteForGood(ui);
    return E_INVALIDARG;
}

HResult TrashContextMenu::restore(IShellUi& ui)
{
    HResult result = S_OK;
    for (const TrashMenuTarget& target : targets_) {
        const HResult restored = runVerbWork(
            ui, volumeKey(),
            [trash = trashPath_, entry = target.entryName, original = target.originalPath,
             item = shareItem(target.absolute.get())] { return restoreFromTrash(trash, entry, original, item.get()); });
        if (failed(restored)) {
            const std::string reason = restored == E_FAIL ? "Its original location is not recorded."
                                                          : shellErrorText(restored);
            ui.showError("Restore", "Could not restore " + nameOf(target) + ". " + reason);
            result = restored;
        }
    }
    return result;
}

HResult TrashContextMenu::deleteForGood(IShellUi& ui)
{
    const std::string what = targets_.size() == 1 ? nameOf(targets_.front())
                                                  : std::to_string(targets_.size()) + " items";
    if (!ui.confirm("Delete Permanently", "Delete " + what + " permanently? This cannot be undone."))
        return S_FALSE;
    HResult result = S_OK;
    for (const TrashMenuTarget& target : targets_) {
        const HResult deleted
            = runVerbWork(ui, volumeKey(), [trash = trashPath_, entry = target.entryName,
                                            item = shareItem(target.absolute.get())] {
                  return deleteFromTrash(trash, entry, item.get());
              });
        if (failed(deleted)) {
            ui.showError("Delete Permanently", "Could not delete " + nameOf(target) + ". " + shellErrorText(deleted));
            result = deleted;
        }
    }
    return result;
}

} // namespace dw::platform
