// SPDX-License-Identifier: MIT
#pragma once
// Putting items into the freedesktop trash. An item goes to the trash of
// its own volume, so that trashing never copies: the home trash for items
// on the volume the home trash lies on, otherwise the volume's trash at its
// top folder ($topdir/.Trash/$uid where the administrator set up a shared
// .Trash with the sticky bit, else $topdir/.Trash-$uid).
//
// A missing trash is made: the home trash with every missing folder above
// it (mode 0700, as the XDG base folders are made), the trash and its
// "files" and "info" folders with mode 0700. A trash that cannot be made,
// or that fails its safety checks (a link, someone else's folder), refuses
// the item with E_NO_TRASH, and the item stays where it was. Only absolute
// paths are ever used: nothing lands in the program's working folder.

#include "platform/namespace/ShellTypes.h"

#include <string>

namespace dw::platform {

struct TrashedItem {
    std::string trashPath; // the trash it went to
    std::string entryName; // its name in the trash's "files" folder
    bool folder = false;   // a folder (not a link to one)
};

// Makes the home trash at `trashPath` (absolute) when it is missing, its
// parents too; S_OK when it is there to be used.
HResult makeHomeTrash(const std::string& trashPath);

// Moves `path` (exact bytes; a symbolic link is trashed itself, never its
// target) to the trash of its volume, `homeTrashPath` being the home trash
// (homeTrashPath(); empty when there is none). The record of where it came
// from is made first, exclusively, so two programs trashing items of one
// name never take each other's record.
HResult moveToTrashCan(const std::string& path, const std::string& homeTrashPath, TrashedItem& trashed);

} // namespace dw::platform
