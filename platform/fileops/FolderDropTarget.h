// SPDX-License-Identifier: MIT
#pragma once
// Drop targets of the Linux namespace: a file-system folder (copy, move or
// link what is dropped into it) and the trash (move it there).

#include "platform/fileops/DropTarget.h"
#include "platform/idlist/IdList.h"

#include <functional>
#include <optional>

namespace dw::platform {

// What a drag over a folder finds out from the disk, once, when it enters;
// the keys pressed meanwhile only choose among what these allow.
struct DropFacts {
    // There are items, every one exists, none is the folder or holds it,
    // and the folder takes new entries.
    bool possible = false;
    bool sameVolume = false;      // every item lies on the folder's volume
    bool anyAlreadyThere = false; // an item lies in the folder itself
};

DropFacts probeFolderDrop(const std::string& folderPath, const std::vector<std::string>& paths);

// The effect a drop has among the `allowed` ones: link with Ctrl+Shift or
// Alt, copy with Ctrl, move with Shift; without keys, move within one
// volume and copy across volumes. None when the drop is not possible, or
// for a move to where an item already is.
unsigned chooseDropEffect(const DropFacts& facts, unsigned keyState, unsigned allowed);

using DropProber = std::function<DropFacts(const std::string& folderPath, const std::vector<std::string>& paths)>;

// A folder's drop target. The window's thread never waits on the disk for
// it: DragEnter asks the disk on a thread of its own and waits for the
// answer only briefly; until a slow disk (a hung network share) has
// answered, the drag is refused there, and a drop then is refused too.
class FolderDropTarget : public IDropTarget {
public:
    // `prober` finds the facts of a drag (tests hold it back).
    FolderDropTarget(std::string folderPath, IdListPtr folderAbsolute, DropProber prober = probeFolderDrop);

    HResult DragEnter(const std::vector<std::string>& paths, unsigned keyState, unsigned& effect) override;
    HResult DragOver(unsigned keyState, unsigned& effect) override;
    HResult DragLeave() override;
    HResult PrepareDrop(const std::vector<std::string>& paths, unsigned keyState, unsigned& effect,
                        std::unique_ptr<IDropOperation>& operation) override;

    // The effect a drop of `paths` with `keyState` would have now, among the
    // `allowed` ones (asks the disk).
    unsigned chooseEffect(const std::vector<std::string>& paths, unsigned keyState, unsigned allowed) const;

private:
    struct Probe;
    // The facts of the drag in progress; nothing while the disk has not answered.
    std::optional<DropFacts> factsNow() const;

    std::string folderPath_;
    IdListPtr folderAbsolute_;
    DropProber prober_;
    std::vector<std::string> dragged_;
    std::shared_ptr<Probe> probe_;
};

class TrashDropTarget : public IDropTarget {
public:
    HResult DragEnter(const std::vector<std::string>& paths, unsigned keyState, unsigned& effect) override;
    HResult DragOver(unsigned keyState, unsigned& effect) override;
    HResult DragLeave() override;
    HResult PrepareDrop(const std::vector<std::string>& paths, unsigned keyState, unsigned& effect,
                        std::unique_ptr<IDropOperation>& operation) override;

private:
    std::vector<std::string> dragged_;
};

} // namespace dw::platform
