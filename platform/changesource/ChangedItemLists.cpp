// SPDX-License-Identifier: MIT
#include "platform/changesource/ChangedItemLists.h"

#include "platform/changes/filewatch/PathChange.h"
#include "platform/namespace/IdRecord.h"
#include "platform/namespace/ShellNamespace.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace dw::platform {

IdListPtr changedPathIdList(const std::string& path, bool isFolder)
{
    if (IdListPtr parsed = parsingNameToIdList(path))
        return parsed;
    // Climb to the nearest ancestor that still exists, remembering the names.
    std::vector<std::string> missing;
    std::string ancestor = path;
    IdListPtr list;
    while (!list) {
        const std::string parent = parentPath(ancestor);
        if (parent.empty())
            return nullptr;
        missing.push_back(ancestor.substr(parent == "/" ? 1 : parent.size() + 1));
        ancestor = parent;
        list = parsingNameToIdList(ancestor);
    }
    for (auto name = missing.rbegin(); name != missing.rend(); ++name) {
        const bool last = std::next(name) == missing.rend();
        IdListPtr id = makeEntryRecord(*name, !last || isFolder ? ENTRY_DIRECTORY : 0);
        if (!id)
            return nullptr;
        list.reset(ILCombine(list.get(), id.get()));
    }
    return list;
}

void ChangedItemLists::setVolumeMountPoints(std::vector<std::string> sortedMountPoints)
{
    volumeMountPoints_ = std::move(sortedMountPoints);
    forgetAll();
}

void ChangedItemLists::forgetTree(const std::string& folder)
{
    for (auto it = folders_.begin(); it != folders_.end();) {
        if (it->first == folder || isBelow(folder, it->first))
            it = folders_.erase(it);
        else
            ++it;
    }
}

bool ChangedItemLists::isVolumeMountPoint(const std::string& path) const
{
    return std::binary_search(volumeMountPoints_.begin(), volumeMountPoints_.end(), path);
}

const ChangedItemLists::KeptFolder* ChangedItemLists::keptFolder(const std::string& path)
{
    if (const auto found = folders_.find(path); found != folders_.end())
        return &found->second;
    if (folders_.size() >= capacity_)
        folders_.clear();
    KeptFolder made;
    const std::string parent = parentPath(path);
    if (!parent.empty() && !isVolumeMountPoint(path)) {
        const KeptFolder* above = keptFolder(parent);
        IdListPtr relative;
        if (above != nullptr && above->folder
            && succeeded(above->folder->ParseDisplayName(lastComponent(path), relative))) {
            made.list.reset(ILCombine(above->list.get(), relative.get()));
            if (failed(above->folder->BindToObject(relative.get(), made.folder)))
                made.folder.reset();
        }
    }
    if (!made.list) {
        made.list = parsingNameToIdList(path);
        if (!made.list)
            return nullptr;
        made.folder = bindToFolder(made.list.get());
    }
    return &(folders_[path] = std::move(made));
}

IdListPtr ChangedItemLists::itemList(const std::string& path, bool isFolder)
{
    if (isVolumeMountPoint(path))
        return changedPathIdList(path, isFolder);
    return entryList(path, isFolder);
}

IdListPtr ChangedItemLists::entryList(const std::string& path, bool isFolder)
{
    const std::string parent = parentPath(path);
    const KeptFolder* folder = parent.empty() ? nullptr : keptFolder(parent);
    if (folder == nullptr || !folder->folder)
        return changedPathIdList(path, isFolder);
    const std::string name = lastComponent(path);
    IdListPtr relative;
    if (failed(folder->folder->ParseDisplayName(name, relative)))
        relative = makeEntryRecord(name, isFolder ? ENTRY_DIRECTORY : 0); // gone: as it was
    if (!relative)
        return nullptr;
    return IdListPtr(ILCombine(folder->list.get(), relative.get()));
}

IdListPtr ChangedItemLists::mountPointList(const std::string& mountPoint)
{
    const std::string parent = parentPath(mountPoint);
    const KeptFolder* folder = parent.empty() ? nullptr : keptFolder(parent);
    if (folder == nullptr)
        return nullptr;
    IdListPtr id = makeEntryRecord(lastComponent(mountPoint), ENTRY_DIRECTORY);
    return id ? IdListPtr(ILCombine(folder->list.get(), id.get())) : nullptr;
}

std::vector<AliasRoot> currentAliasRoots()
{
    std::vector<AliasRoot> roots;
    IdListPtr home = makeRecord(IdKind::Home);
    IdListPtr desktop(ILAlloc(2));
    std::memset(desktop.get(), 0, 2);
    for (IdListPtr* prefix : {&home, &desktop}) {
        std::string path = idListToParsingName(prefix->get());
        if (!path.empty() && path.front() == '/')
            roots.push_back({std::move(path), std::move(*prefix)});
    }
    return roots;
}

IdListPtr aliasIdList(const AliasRoot& root, const std::string& path, const ItemIdList* primary)
{
    if (primary == nullptr || (path != root.path && !isBelow(root.path, path)))
        return nullptr;
    std::size_t below = 0; // path components below the root
    for (std::size_t at = root.path == "/" ? 0 : root.path.size(); at < path.size(); ++at)
        below += path[at] == '/' ? 1 : 0;
    const std::size_t ids = ILCount(primary);
    if (ids < below)
        return nullptr;
    const ItemIdList* tail = primary;
    for (std::size_t skip = ids - below; skip > 0; --skip)
        tail = ILGetNext(tail);
    return IdListPtr(ILCombine(root.prefix.get(), tail));
}

IdListPtr volumeIdList(const std::string& mountPoint, DriveType driveType)
{
    IdListPtr computer = makeRecord(IdKind::Computer);
    IdListPtr volume = makeRecord(IdKind::Volume, static_cast<std::uint8_t>(driveType), mountPoint);
    return IdListPtr(ILCombine(computer.get(), volume.get()));
}

} // namespace dw::platform
