// SPDX-License-Identifier: MIT
#pragma once
// What a folder does with items dropped on it. The folder tree forwards the
// drag's enter, over, leave and drop to the drop target of the folder under
// the cursor; the target says which effect the drop would have and makes the
// operation that carries it out. Dropped items are file-system paths (exact
// bytes).
//
// A drop comes in two steps so that the window never waits on a disk:
// PrepareDrop, on the window's thread, decides the effect from what the drag
// already found out; the operation it makes does all the file work, on any
// thread (a worker's, with a TransferProgress for progress and Cancel).
// Drop does both at once on the calling thread, for callers that can wait.

#include "platform/namespace/ContextMenu.h"
#include "platform/namespace/ShellTypes.h"

#include <memory>
#include <string>
#include <vector>

namespace dw::platform {

class TransferProgress;

constexpr unsigned DROPEFFECT_NONE = 0;
constexpr unsigned DROPEFFECT_COPY = 1;
constexpr unsigned DROPEFFECT_MOVE = 2;
constexpr unsigned DROPEFFECT_LINK = 4;

// Key state of a drag.
constexpr unsigned MK_LBUTTON = 0x01;
constexpr unsigned MK_SHIFT = 0x04;
constexpr unsigned MK_CONTROL = 0x08;
constexpr unsigned MK_ALT = 0x20;

// What a finished drop did not do, for the person who dropped.
struct DropOutcome {
    std::string title;                // of the report: "Copy", "Move", "Link", "Move to Trash"
    std::vector<std::string> notDone; // one sentence per item that failed: which, and why
    bool cancelled = false;           // the user stopped it; items after the stop were not tried
    HResult result = S_OK;            // the first failure, E_ABORT when cancelled, else S_OK

    // The report to show: every sentence of notDone, one a line; empty when
    // nothing failed (a cancel alone is not reported: the user asked for it).
    std::string message() const;
};

class IDropOperation {
public:
    virtual ~IDropOperation() = default;
    // Does the file work of the drop, once, on any thread. Checks each item
    // again first (the disk may have changed since the drag), never
    // replaces anything, and stops at the next safe point when `progress`
    // is cancelled, removing the partial copy of the item it was on.
    virtual DropOutcome Run(TransferProgress& progress) = 0;
};

class IDropTarget {
public:
    virtual ~IDropTarget() = default;
    // `effect` comes in as the effects the source allows and goes out as the
    // one a drop would have now (DROPEFFECT_NONE: it would be refused).
    virtual HResult DragEnter(const std::vector<std::string>& paths, unsigned keyState, unsigned& effect) = 0;
    virtual HResult DragOver(unsigned keyState, unsigned& effect) = 0;
    virtual HResult DragLeave() = 0;
    // Decides the drop's effect as DragOver would and makes the operation
    // that carries it out (S_FALSE, DROPEFFECT_NONE and no operation when it
    // is refused). Touches the disk only when no DragEnter with these paths
    // came first. The operation does not depend on this target.
    virtual HResult PrepareDrop(const std::vector<std::string>& paths, unsigned keyState, unsigned& effect,
                                std::unique_ptr<IDropOperation>& operation) = 0;

    // The whole drop on the calling thread: prepared, run, and what was not
    // done told through `ui`. What could not be copied or moved stays where
    // it was.
    HResult Drop(const std::vector<std::string>& paths, unsigned keyState, unsigned& effect, IShellUi& ui);
};

} // namespace dw::platform
