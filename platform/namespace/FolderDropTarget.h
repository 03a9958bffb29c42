#pragma once
// Drop targets of the Linux namespace: a file-system folder (copy, move or
// link what is dropped into it) and the trash (move it there).

#include "platform/idlist/IdList.h"
#include "platform/namespace/DropTarget.h"

namespace dw::platform {

class FolderDropTarget : public IDropTarget {
public:
    FolderDropTarget(std::string folderPath, IdListPtr folderAbsolute);

    HResult DragEnter(const std::vector<std::string>& paths, unsigned keyState, unsigned& effect) override;
    HResult DragOver(unsigned keyState, unsigned& effect) override;
    HResult DragLeave() override;
    HResult Drop(const std::vector<std::string>& paths, unsigned keyState, unsigned& effect, IShellUi& ui) override;

    // The effect a drop of `paths` with `keyState` would have, among the
    // `allowed` ones: link with Ctrl+Shift or Alt, copy with Ctrl, move with
    // Shift; without keys, move within one volume and copy across volumes.
    // None for a folder dropped into itself, a move to where the item
    // already is, or a folder that cannot be written.
    unsigned chooseEffect(const std::vector<std::string>& paths, unsigned keyState, unsigned allowed) const;

private:
    HResult transfer(const std::string& source, unsigned effect, IShellUi& ui) const;

    std::string folderPath_;
    IdListPtr folderAbsolute_;
    std::vector<std::string> dragged_;
};

class TrashDropTarget : public IDropTarget {
public:
    HResult DragEnter(const std::vector<std::string>& paths, unsigned keyState, unsigned& effect) override;
    HResult DragOver(unsigned keyState, unsigned& effect) override;
    HResult DragLeave() override;
    HResult Drop(const std::vector<std::string>& paths, unsigned keyState, unsigned& effect, IShellUi& ui) override;

private:
    std::vector<std::string> dragged_;
};

} // namespace dw::platform
