// SPDX-License-Identifier: MIT
#pragma once
// Keeps the subtrees of recursive registrations on file-system folders
// watched: each new subtree root is walked on the walker's thread and the
// folders found are watched here, on the source's thread, within a budget of
// kernel watches; a folder that comes into a subtree later (made, or moved
// in with what it holds) is watched at once and what it holds is walked.
//
// The budget bounds the watches this process holds in all (the kernel's
// limit is per user, shared with every other program): a walk that would go
// beyond it stops, and the user is told once which folder holds too many
// (LiveUpdateNotice.h). Folders beyond it are still watched when a view opens
// them. Nothing on a network volume is walked or watched here: its server
// may not answer, and the kernel sees only the changes made from this
// machine anyway.

#include "platform/changes/filewatch/FolderWatcher.h"
#include "platform/changesource/MountedTable.h"
#include "platform/changesource/SubtreeWalker.h"
#include "platform/changesource/WatchScope.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>

namespace dw::platform {

class SubtreeWatching {
public:
    SubtreeWatching(FolderWatcher& folders, SubtreeWalker::Sink walkedSink);

    // Watches this process may hold before walks stop.
    std::size_t budget() const { return budget_; }
    void setBudget(std::size_t folders) { budget_ = folders; }
    // A quarter of the kernel's limit, at most 32768 (each watch holds
    // kernel memory).
    static std::size_t defaultBudget();

    // True while a walk is under way or its folders are still to be watched.
    bool isWalking() const { return !activeWalks_.empty(); }

    // The registrations changed: walks the subtree roots not walked yet.
    void rootsChanged(const WatchScope& scope, const MountedTable& mounts);
    // Forgets roots no longer registered, so that they are walked again if
    // they come back.
    void forgetRootsNotIn(const WatchScope& scope);
    // Forgets roots at or below a mount point whose volume came or went, so
    // that rootsChanged walks them again.
    void forgetRootsAtOrBelow(const std::string& mountPoint);
    // A folder came into a subtree (`fromOutside`: from outside every one).
    void folderArrived(const std::string& folder, bool fromOutside, const WatchScope& scope, const MountedTable& mounts);
    // Watches the folders a walk found.
    void watchWalked(WalkedFolders batch, const WatchScope& scope);

private:
    void startWalk(const std::string& root, const MountedTable& mounts);
    void stopWalks();
    void tellBudgetReached(const std::string& root) const;

    FolderWatcher& folders_;
    SubtreeWalker walker_;
    std::size_t budget_ = defaultBudget();
    std::uint64_t lastWalk_ = 0;
    std::map<std::uint64_t, std::string> activeWalks_; // walk number -> its root
    std::set<std::string> walkedRoots_;
};

} // namespace dw::platform
