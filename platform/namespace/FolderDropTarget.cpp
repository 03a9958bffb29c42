#include "platform/namespace/FolderDropTarget.h"

#include "platform/namespace/DropOperations.h"
#include "platform/namespace/FileSystemAccess.h"
#include "platform/namespace/FileTransfer.h"

#include <algorithm>
#include <array>

namespace dw::platform {

namespace {

bool isSameFolder(const std::string& first, const std::string& second)
{
    return isSameOrInside(first, second) && isSameOrInside(second, first);
}

// The same item dropped twice is dropped once.
std::vector<std::string> withoutRepeats(const std::vector<std::string>& paths)
{
    std::vector<std::string> unique;
    for (const std::string& path : paths) {
        if (std::find(unique.begin(), unique.end(), path) == unique.end())
            unique.push_back(path);
    }
    return unique;
}

unsigned effectOfKeys(unsigned keyState)
{
    const bool control = keyState & MK_CONTROL;
    const bool shift = keyState & MK_SHIFT;
    if ((control && shift) || (keyState & MK_ALT))
        return DROPEFFECT_LINK;
    if (control)
        return DROPEFFECT_COPY;
    return shift ? DROPEFFECT_MOVE : DROPEFFECT_NONE;
}

} // namespace

DropFacts probeFolderDrop(const std::string& folderPath, const std::vector<std::string>& paths)
{
    DropFacts facts;
    if (paths.empty() || !isWritableFolder(folderPath))
        return facts;
    for (const std::string& path : paths) {
        if (!entryFlags(path) || isSameOrInside(folderPath, path))
            return facts;
    }
    facts.possible = true;
    facts.sameVolume = std::all_of(paths.begin(), paths.end(),
                                   [&](const std::string& path) { return onSameVolume(path, folderPath); });
    facts.anyAlreadyThere = std::any_of(paths.begin(), paths.end(), [&](const std::string& path) {
        return isSameFolder(parentPathOf(path), folderPath);
    });
    return facts;
}

unsigned chooseDropEffect(const DropFacts& facts, unsigned keyState, unsigned allowed)
{
    if (!facts.possible)
        return DROPEFFECT_NONE;
    unsigned wanted = effectOfKeys(keyState);
    if (wanted == DROPEFFECT_NONE) {
        const std::array<unsigned, 2> preferred = facts.sameVolume
            ? std::array<unsigned, 2>{DROPEFFECT_MOVE, DROPEFFECT_COPY}
            : std::array<unsigned, 2>{DROPEFFECT_COPY, DROPEFFECT_MOVE};
        const auto first = std::find_if(preferred.begin(), preferred.end(),
                                        [allowed](unsigned effect) { return (allowed & effect) != 0; });
        wanted = first == preferred.end() ? DROPEFFECT_NONE : *first;
    }
    if (!(allowed & wanted) || (wanted == DROPEFFECT_MOVE && facts.anyAlreadyThere))
        return DROPEFFECT_NONE;
    return wanted;
}

FolderDropTarget::FolderDropTarget(std::string folderPath, IdListPtr folderAbsolute)
    : folderPath_(std::move(folderPath)), folderAbsolute_(std::move(folderAbsolute))
{
}

unsigned FolderDropTarget::chooseEffect(const std::vector<std::string>& paths, unsigned keyState,
                                        unsigned allowed) const
{
    return chooseDropEffect(probeFolderDrop(folderPath_, paths), keyState, allowed);
}

HResult FolderDropTarget::DragEnter(const std::vector<std::string>& paths, unsigned keyState, unsigned& effect)
{
    dragged_ = withoutRepeats(paths);
    facts_ = probeFolderDrop(folderPath_, dragged_);
    effect = chooseDropEffect(facts_, keyState, effect);
    return S_OK;
}

HResult FolderDropTarget::DragOver(unsigned keyState, unsigned& effect)
{
    effect = chooseDropEffect(facts_, keyState, effect);
    return S_OK;
}

HResult FolderDropTarget::DragLeave()
{
    dragged_.clear();
    facts_ = DropFacts{};
    return S_OK;
}

HResult FolderDropTarget::PrepareDrop(const std::vector<std::string>& paths, unsigned keyState, unsigned& effect,
                                      std::unique_ptr<IDropOperation>& operation)
{
    std::vector<std::string> items = withoutRepeats(paths);
    const DropFacts facts = items == dragged_ ? facts_ : probeFolderDrop(folderPath_, items);
    DragLeave();
    operation.reset();
    effect = chooseDropEffect(facts, keyState, effect);
    if (effect == DROPEFFECT_NONE)
        return S_FALSE;
    operation = makeFolderDropOperation(folderPath_, std::move(items), effect);
    return S_OK;
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

HResult TrashDropTarget::PrepareDrop(const std::vector<std::string>& paths, unsigned, unsigned& effect,
                                     std::unique_ptr<IDropOperation>& operation)
{
    dragged_.clear();
    operation.reset();
    if (paths.empty() || !(effect & DROPEFFECT_MOVE)) {
        effect = DROPEFFECT_NONE;
        return S_FALSE;
    }
    effect = DROPEFFECT_MOVE;
    operation = makeTrashDropOperation(withoutRepeats(paths));
    return S_OK;
}

} // namespace dw::platform
