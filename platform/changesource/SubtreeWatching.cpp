// SPDX-License-Identifier: MIT
#include "platform/changesource/SubtreeWatching.h"

#include "platform/changes/LiveUpdateNotice.h"
#include "platform/changes/filewatch/WatchNotices.h"

#include <algorithm>

namespace dw::platform {
namespace {

constexpr std::size_t kBudgetCap = 32768;
constexpr std::size_t kBudgetWithoutKnownLimit = 2048;

bool coveredBy(const std::set<std::string>& roots, const std::string& folder)
{
    return std::any_of(roots.begin(), roots.end(),
                       [&folder](const std::string& root) { return folder == root || isBelow(root, folder); });
}

} // namespace

SubtreeWatching::SubtreeWatching(FolderWatcher& folders, SubtreeWalker::Sink walkedSink)
    : folders_(folders), walker_(std::move(walkedSink))
{
}

std::size_t SubtreeWatching::defaultBudget()
{
    const long limit = watchLimit().value;
    if (limit <= 0)
        return kBudgetWithoutKnownLimit;
    return std::min(kBudgetCap, static_cast<std::size_t>(limit) / 4);
}

void SubtreeWatching::rootsChanged(const WatchScope& scope, const MountedTable& mounts)
{
    for (const auto& root : scope.subtreeRoots()) {
        if (coveredBy(walkedRoots_, root) || mounts.isOnNetworkVolume(root))
            continue;
        walkedRoots_.insert(root);
        startWalk(root, mounts);
    }
}

void SubtreeWatching::forgetRootsNotIn(const WatchScope& scope)
{
    const auto roots = scope.subtreeRoots();
    for (auto it = walkedRoots_.begin(); it != walkedRoots_.end();) {
        if (std::find(roots.begin(), roots.end(), *it) == roots.end())
            it = walkedRoots_.erase(it);
        else
            ++it;
    }
}

void SubtreeWatching::forgetRootsAtOrBelow(const std::string& mountPoint)
{
    for (auto it = walkedRoots_.begin(); it != walkedRoots_.end();) {
        if (*it == mountPoint || isBelow(mountPoint, *it))
            it = walkedRoots_.erase(it);
        else
            ++it;
    }
}

void SubtreeWatching::folderArrived(const std::string& folder, bool fromOutside, const WatchScope& scope,
                                    const MountedTable& mounts)
{
    if (!scope.inSubtree(folder) || !coveredBy(walkedRoots_, folder) || mounts.isOnNetworkVolume(folder))
        return;
    if (entryKindAt(folder) != EntryKind::Folder)
        return; // a link is not followed: it could lead anywhere, even above
    const bool wasWatched = folders_.isWatched(folder);
    if (!wasWatched && folders_.watchedFolderCount() >= budget_)
        return; // told when the walks stopped
    if (!wasWatched)
        folders_.watchFolder(folder);
    if (!wasWatched || fromOutside)
        startWalk(folder, mounts); // it may have come with folders of its own
}

void SubtreeWatching::watchWalked(WalkedFolders batch, const WatchScope& scope)
{
    const auto walk = activeWalks_.find(batch.walk);
    if (walk == activeWalks_.end())
        return; // stopped meanwhile
    const std::string root = walk->second;
    for (auto& found : batch.folders) {
        if (!scope.inSubtree(found.path) || folders_.isWatched(found.path))
            continue;
        if (folders_.watchedFolderCount() >= budget_) {
            stopWalks();
            tellBudgetReached(root);
            return;
        }
        if (folders_.watchListedFolder(found.path, std::move(found.entries)) == AddWatchResult::LimitReached) {
            stopWalks(); // the kernel's own limit, which the watcher has told
            return;
        }
    }
    if (!batch.finished)
        return;
    activeWalks_.erase(batch.walk);
    if (batch.truncated)
        tellBudgetReached(root);
}

void SubtreeWatching::startWalk(const std::string& root, const MountedTable& mounts)
{
    WalkRequest request;
    request.walk = ++lastWalk_;
    request.root = root;
    // A subtree holding more folders than the budget is too large whatever
    // is watched already; what is watched counts when the folders come back.
    request.maxFolders = budget_;
    request.mountPoints = mounts.mountPoints();
    activeWalks_.emplace(request.walk, root);
    walker_.walk(std::move(request));
}

void SubtreeWatching::stopWalks()
{
    walker_.cancelAll();
    activeWalks_.clear();
}

void SubtreeWatching::tellBudgetReached(const std::string& root) const
{
    const InotifyLimit limit = watchLimit();
    const bool followsLimit = limit.value > 0 && static_cast<std::size_t>(limit.value) / 4 == budget_;
    ReportLiveUpdateProblem(LiveUpdateProblem::SubtreeTooLarge,
                            subtreeBudgetNotice(root, budget_, followsLimit ? limit : InotifyLimit{}));
}

} // namespace dw::platform
