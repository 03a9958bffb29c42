// SPDX-License-Identifier: MIT
#include "platform/changes/filewatch/WatchTable.h"

#include "platform/changes/filewatch/PathChange.h"

#include <algorithm>

namespace dw::platform {

void WatchTable::add(int watch, const std::string& path)
{
    if (isWatched(path))
        return;
    watchOfPath_.emplace(path, watch);
    pathsOfWatch_[watch].push_back(path);
}

const std::vector<std::string>& WatchTable::pathsOf(int watch) const
{
    static const std::vector<std::string> none;
    const auto found = pathsOfWatch_.find(watch);
    return found == pathsOfWatch_.end() ? none : found->second;
}

std::optional<int> WatchTable::watchOf(const std::string& path) const
{
    const auto found = watchOfPath_.find(path);
    if (found == watchOfPath_.end())
        return std::nullopt;
    return found->second;
}

std::vector<std::string> WatchTable::pathsInTree(const std::string& path) const
{
    // Paths below `path` sort right after "path/"; "/" is followed by "0".
    std::vector<std::string> tree;
    if (isWatched(path))
        tree.push_back(path);
    const std::string first = path == "/" ? "/" : path + '/';
    const std::string beyond = path == "/" ? "0" : path + '0';
    for (auto it = watchOfPath_.lower_bound(first); it != watchOfPath_.end() && it->first < beyond; ++it) {
        if (it->first != path)
            tree.push_back(it->first);
    }
    return tree;
}

void WatchTable::erasePath(const std::string& path, std::vector<int>* orphaned)
{
    const auto found = watchOfPath_.find(path);
    if (found == watchOfPath_.end())
        return;
    const int watch = found->second;
    watchOfPath_.erase(found);
    auto& paths = pathsOfWatch_[watch];
    paths.erase(std::remove(paths.begin(), paths.end(), path), paths.end());
    if (paths.empty()) {
        pathsOfWatch_.erase(watch);
        if (orphaned != nullptr)
            orphaned->push_back(watch);
    }
}

std::vector<int> WatchTable::removeTree(const std::string& path)
{
    std::vector<int> orphaned;
    for (const auto& member : pathsInTree(path))
        erasePath(member, &orphaned);
    return orphaned;
}

std::optional<int> WatchTable::removePath(const std::string& path)
{
    std::vector<int> orphaned;
    erasePath(path, &orphaned);
    if (orphaned.empty())
        return std::nullopt;
    return orphaned.front();
}

std::vector<std::string> WatchTable::paths() const
{
    std::vector<std::string> all;
    all.reserve(watchOfPath_.size());
    for (const auto& [path, watch] : watchOfPath_)
        all.push_back(path);
    return all;
}

void WatchTable::removeWatch(int watch)
{
    const auto found = pathsOfWatch_.find(watch);
    if (found == pathsOfWatch_.end())
        return;
    for (const auto& path : found->second)
        watchOfPath_.erase(path);
    pathsOfWatch_.erase(found);
}

void WatchTable::renameTree(const std::string& from, const std::string& to)
{
    if (from == to)
        return;
    for (const auto& oldPath : pathsInTree(from)) {
        const int watch = watchOfPath_.at(oldPath);
        const std::string newPath = to + oldPath.substr(from.size());
        erasePath(oldPath, nullptr);
        // A folder renamed over a watched one replaces it.
        erasePath(newPath, nullptr);
        add(watch, newPath);
    }
}

bool WatchTable::isRoot(const std::string& path) const
{
    const std::string parent = parentPath(path);
    return isWatched(path) && (parent.empty() || !isWatched(parent));
}

std::vector<std::string> WatchTable::roots() const
{
    std::vector<std::string> result;
    for (const auto& [path, watch] : watchOfPath_) {
        if (isRoot(path))
            result.push_back(path);
    }
    return result;
}

} // namespace dw::platform
