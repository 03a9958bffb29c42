#include "platform/namespace/FolderDropTarget.h"

#include "platform/namespace/ChangeReport.h"
#include "platform/namespace/DisplayText.h"
#include "platform/namespace/FileOperations.h"
#include "platform/namespace/FileSystemAccess.h"
#include "platform/namespace/FileTransfer.h"
#include "platform/namespace/IdRecord.h"
#include "platform/namespace/ShellErrors.h"
#include "platform/namespace/ShellNamespace.h"

#include <algorithm>
#include <array>

namespace dw::platform {

namespace {

std::string baseName(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string parentOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool isRealFolder(const std::string& path)
{
    const auto flags = entryFlags(path);
    return flags && (*flags & ENTRY_DIRECTORY) && !(*flags & ENTRY_SYMLINK);
}

const char* verbOf(unsigned effect)
{
    return effect == DROPEFFECT_MOVE ? "move" : effect == DROPEFFECT_LINK ? "link" : "copy";
}

std::string titleOf(unsigned effect)
{
    std::string title = verbOf(effect);
    title.front() = static_cast<char>(title.front() - 'a' + 'A');
    return title;
}

} // namespace

FolderDropTarget::FolderDropTarget(std::string folderPath, IdListPtr folderAbsolute)
    : folderPath_(std::move(folderPath)), folderAbsolute_(std::move(folderAbsolute))
{
}

unsigned FolderDropTarget::chooseEffect(const std::vector<std::string>& paths, unsigned keyState,
                                        unsigned allowed) const
{
    if (paths.empty() || !isWritableFolder(folderPath_))
        return DROPEFFECT_NONE;
    for (const std::string& path : paths) {
        if (!entryFlags(path) || isSameOrInside(folderPath_, path))
            return DROPEFFECT_NONE;
    }
    const bool control = keyState & MK_CONTROL;
    const bool shift = keyState & MK_SHIFT;
    unsigned wanted = DROPEFFECT_NONE;
    if ((control && shift) || (keyState & MK_ALT))
        wanted = DROPEFFECT_LINK;
    else if (control)
        wanted = DROPEFFECT_COPY;
    else if (shift)
        wanted = DROPEFFECT_MOVE;
    if (wanted == DROPEFFECT_NONE) {
        const bool sameVolume = std::all_of(paths.begin(), paths.end(),
                                            [&](const std::string& path) { return onSameVolume(path, folderPath_); });
        const std::array<unsigned, 2> preferred = sameVolume ? std::array<unsigned, 2>{DROPEFFECT_MOVE, DROPEFFECT_COPY}
                                                             : std::array<unsigned, 2>{DROPEFFECT_COPY, DROPEFFECT_MOVE};
        for (unsigned effect : preferred) {
            if (allowed & effect) {
                wanted = effect;
                break;
            }
        }
    }
    if (!(allowed & wanted))
        return DROPEFFECT_NONE;
    if (wanted == DROPEFFECT_MOVE) {
        const bool alreadyHere = std::any_of(paths.begin(), paths.end(), [&](const std::string& path) {
            return isSameOrInside(parentOf(path), folderPath_) && isSameOrInside(folderPath_, parentOf(path));
        });
        if (alreadyHere)
            return DROPEFFECT_NONE;
    }
    return wanted;
}

HResult FolderDropTarget::DragEnter(const std::vector<std::string>& paths, unsigned keyState, unsigned& effect)
{
    dragged_ = paths;
    effect = chooseEffect(dragged_, keyState, effect);
    return S_OK;
}

HResult FolderDropTarget::DragOver(unsigned keyState, unsigned& effect)
{
    effect = chooseEffect(dragged_, keyState, effect);
    return S_OK;
}

HResult FolderDropTarget::DragLeave()
{
    dragged_.clear();
    return S_OK;
}

HResult FolderDropTarget::transfer(const std::string& source, unsigned effect, IShellUi& ui) const
{
    const bool folder = isRealFolder(source);
    const IdListPtr sourceList = parsingNameToIdList(source); // before it moves
    const std::string destination = joinPath(folderPath_, freeNameIn(folderPath_, baseName(source)));
    HResult result = S_OK;
    if (effect == DROPEFFECT_MOVE)
        result = moveItem(source, destination);
    else if (effect == DROPEFFECT_LINK)
        result = linkItem(source, destination);
    else
        result = copyItem(source, destination);
    if (entryFlags(destination)) {
        const IdListPtr made = parsingNameToIdList(destination);
        reportNamespaceChange(folder && effect != DROPEFFECT_LINK ? SHCNE_MKDIR : SHCNE_CREATE, made.get());
    }
    if (effect == DROPEFFECT_MOVE && sourceList && !entryFlags(source))
        reportNamespaceChange(folder ? SHCNE_RMDIR : SHCNE_DELETE, sourceList.get());
    if (failed(result))
        ui.showError(titleOf(effect), std::string("Could not ") + verbOf(effect) + " \""
                                          + displayTextFromBytes(baseName(source)) + "\". " + shellErrorText(result));
    return result;
}

HResult FolderDropTarget::Drop(const std::vector<std::string>& paths, unsigned keyState, unsigned& effect,
                               IShellUi& ui)
{
    dragged_.clear();
    effect = chooseEffect(paths, keyState, effect);
    if (effect == DROPEFFECT_NONE)
        return S_FALSE;
    HResult result = S_OK;
    for (const std::string& path : paths) {
        if (const HResult moved = transfer(path, effect, ui); failed(moved))
            result = moved;
    }
    return result;
}

HResult TrashDropTarget::DragEnter(const std::vector<std::string>& paths, unsigned keyState, unsigned& effect)
{
    dragged_ = paths;
    return DragOver(keyState, effect);
}

HResult TrashDropTarget::DragOver(unsigned, unsigned& effect)
{
    effect = !dragged_.empty() && (effect & DROPEFFECT_MOVE) ? DROPEFFECT_MOVE : DROPEFFECT_NONE;
    return S_OK;
}

HResult TrashDropTarget::DragLeave()
{
    dragged_.clear();
    return S_OK;
}

HResult TrashDropTarget::Drop(const std::vector<std::string>& paths, unsigned, unsigned& effect, IShellUi& ui)
{
    dragged_.clear();
    if (paths.empty() || !(effect & DROPEFFECT_MOVE)) {
        effect = DROPEFFECT_NONE;
        return S_FALSE;
    }
    effect = DROPEFFECT_MOVE;
    HResult result = S_OK;
    for (const std::string& path : paths) {
        const IdListPtr item = parsingNameToIdList(path);
        if (const HResult trashed = moveItemToTrash(item.get(), path); failed(trashed)) {
            ui.showError("Move to Trash", "Could not move \"" + displayTextFromBytes(baseName(path))
                                              + "\" to the trash. " + shellErrorText(trashed));
            result = trashed;
        }
    }
    return result;
}

} // namespace dw::platform
