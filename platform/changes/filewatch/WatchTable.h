// SPDX-License-Identifier: MIT
#pragma once
// Which folder each kernel watch stands for. One watch can stand for several
// paths (the kernel answers the same watch for a folder reached through a
// symbolic link and through its real path), and a folder's paths change when
// it or one of its ancestors is renamed.

#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace dw::platform {

class WatchTable {
public:
    void add(int watch, const std::string& path);

    const std::vector<std::string>& pathsOf(int watch) const;
    std::optional<int> watchOf(const std::string& path) const;
    bool isWatched(const std::string& path) const { return watchOf(path).has_value(); }

    // Forgets `path` and every watched path below it. Answers the watches
    // left with no path at all, which the caller should remove.
    std::vector<int> removeTree(const std::string& path);

    // Forgets `path` alone; answers the watch when it is left with no path.
    std::optional<int> removePath(const std::string& path);

    // Every watched path, in order.
    std::vector<std::string> paths() const;

    // Forgets a watch the kernel dropped.
    void removeWatch(int watch);

    // Moves `from` and every watched path below it to `to`.
    void renameTree(const std::string& from, const std::string& to);

    // Watched folders whose parent is not watched.
    std::vector<std::string> roots() const;
    bool isRoot(const std::string& path) const;

    std::size_t pathCount() const { return watchOfPath_.size(); }
    std::size_t watchCount() const { return pathsOfWatch_.size(); }

private:
    std::vector<std::string> pathsInTree(const std::string& path) const;
    void erasePath(const std::string& path, std::vector<int>* orphaned);

    std::map<std::string, int> watchOfPath_;
    std::unordered_map<int, std::vector<std::string>> pathsOfWatch_;
};

} // namespace dw::platform
