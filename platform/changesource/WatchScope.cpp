// SPDX-License-Identifier: MIT
#include "platform/changesource/WatchScope.h"

#include "platform/changes/filewatch/PathChange.h"
#include "platform/namespace/ShellNamespace.h"

#include <algorithm>

namespace dw::platform {
namespace {

bool isFileSystemPath(const std::string& name)
{
    return !name.empty() && name.front() == '/';
}

} // namespace

void WatchScope::setRoots(const std::vector<RegisteredRoot>& roots)
{
    entryFolders_.clear();
    recursiveRoots_.clear();
    for (const auto& root : roots) {
        const std::string path = idListToParsingName(root.pidl.get());
        // The desktop's parsing name is the desktop directory, but as a root
        // it stands for the whole namespace (its list is empty).
        const bool wholeNamespace = ILGetSize(root.pidl.get()) <= 2;
        if (isFileSystemPath(path) && std::find(entryFolders_.begin(), entryFolders_.end(), path) == entryFolders_.end())
            entryFolders_.push_back(path);
        if (root.recursive)
            recursiveRoots_.push_back({wholeNamespace || !isFileSystemPath(path) ? std::string() : path,
                                       cloneIdList(root.pidl.get())});
    }
}

bool WatchScope::coversEnumerated(const std::string& folder) const
{
    IdListPtr parsed; // parsed at most once, only for virtual roots
    for (const auto& root : recursiveRoots_) {
        if (!root.path.empty()) {
            if (folder == root.path || isBelow(root.path, folder))
                return true;
            continue;
        }
        if (ILGetSize(root.pidl.get()) <= 2)
            return true; // the desktop holds everything
        if (!parsed)
            parsed = parsingNameToIdList(folder);
        if (parsed && IdListCovers(root.pidl.get(), parsed.get()))
            return true;
    }
    return false;
}

std::vector<std::string> WatchScope::subtreeRoots() const
{
    std::vector<std::string> roots;
    for (const auto& root : recursiveRoots_) {
        if (!root.path.empty() && std::find(roots.begin(), roots.end(), root.path) == roots.end())
            roots.push_back(root.path);
    }
    return roots;
}

bool WatchScope::inSubtree(const std::string& folder) const
{
    return std::any_of(recursiveRoots_.begin(), recursiveRoots_.end(), [&folder](const RecursiveRoot& root) {
        return !root.path.empty() && (folder == root.path || isBelow(root.path, folder));
    });
}

bool WatchScope::wants(const std::string& folder, bool listed) const
{
    return std::find(entryFolders_.begin(), entryFolders_.end(), folder) != entryFolders_.end()
        || inSubtree(folder) || (listed && coversEnumerated(folder));
}

} // namespace dw::platform
