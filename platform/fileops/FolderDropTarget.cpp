// SPDX-License-Identifier: MIT
#include "platform/fileops/FolderDropTarget.h"

#include "platform/fileops/DropOperations.h"
#include "platform/fileops/FileTransfer.h"
#include "platform/namespace/FileSystemAccess.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace dw::platform {

namespace {

// How long DragEnter waits for the disk: a local disk answers well within
// it; a drag over a slow share is refused there until the share answers.
constexpr std::chrono::milliseconds kProbePatience{50};

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

// Shared by the target and the thread asking the disk, which may outlive it.
struct FolderDropTarget::Probe {
    std::mutex mutex;
    std::condition_variable answered;
    std::optional<DropFacts> facts;
};

FolderDropTarget::FolderDropTarget(std::string folderPath, IdListPtr folderAbsolute, DropProber prober)
    : folderPath_(std::move(folderPath)), folderAbsolute_(std::move(folderAbsolute)), prober_(std::move(prober))
{
}

unsigned FolderDropTarget::chooseEffect(const std::vector<std::string>& paths, unsigned keyState,
                                        unsigned allowed) const
{
    return chooseDropEffect(prober_(folderPath_, paths), keyState, allowed);
}

std::optional<DropFacts> FolderDropTarget::factsNow() const
{
    if (!probe_)
        return std::nullopt;
    std::lock_guard lock(probe_->mutex);
    return probe_->facts;
}

HResult FolderDropTarget::DragEnter(const std::vector<std::string>& paths, unsigned keyState, unsigned& effect)
{
    dragged_ = withoutRepeats(paths);
    probe_ = std::make_shared<Probe>();
    std::thread([probe = probe_, prober = prober_, folder = folderPath_, items = dragged_] {
        DropFacts facts = prober(folder, items);
        std::lock_guard lock(probe->mutex);
        probe->facts = facts;
        probe->answered.notify_all();
    }).detach();
    {
        std::unique_lock lock(probe_->mutex);
        probe_->answered.wait_for(lock, kProbePatience, [this] { return probe_->facts.has_value(); });
    }
    return DragOver(keyState, effect);
}

HResult FolderDropTarget::DragOver(unsigned keyState, unsigned& effect)
{
    const std::optional<DropFacts> facts = factsNow();
    effect = facts ? chooseDropEffect(*facts, keyState, effect) : DROPEFFECT_NONE;
    return S_OK;
}

HResult FolderDropTarget::DragLeave()
{
    dragged_.clear();
    probe_.reset();
    return S_OK;
}

HResult FolderDropTarget::PrepareDrop(const std::vector<std::string>& paths, unsigned keyState, unsigned& effect,
                                      std::unique_ptr<IDropOperation>& operation)
{
    std::vector<std::string> items = withoutRepeats(paths);
    const bool dragged = probe_ && items == dragged_;
    const std::optional<DropFacts> facts = dragged ? factsNow() : prober_(folderPath_, items);
    DragLeave();
    operation.reset();
    effect = facts ? chooseDropEffect(*facts, keyState, effect) : DROPEFFECT_NONE;
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
