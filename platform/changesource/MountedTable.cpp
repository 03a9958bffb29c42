// SPDX-License-Identifier: MIT
#include "platform/changesource/MountedTable.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

namespace dw::platform {

MountedTable MountedTable::read(const std::string& mountTablePath, const std::string& sysBlockPath)
{
    // /proc files report a size of 0: read until the end rather than by size.
    std::ifstream file(mountTablePath);
    std::stringstream text;
    if (file)
        text << file.rdbuf();
    const std::vector<MountEntry> entries = parseMountTable(text.str());
    MountedTable table;
    table.volumes_ = volumesFromTable(entries, MountProbe::forSystem(sysBlockPath));
    for (const MountEntry& entry : entries) {
        table.mounts_.emplace_back(entry.mountPoint, entry.device);
        table.mountPoints_.push_back(entry.mountPoint);
    }
    std::sort(table.mounts_.begin(), table.mounts_.end());
    std::sort(table.mountPoints_.begin(), table.mountPoints_.end());
    table.mountPoints_.erase(std::unique(table.mountPoints_.begin(), table.mountPoints_.end()),
                             table.mountPoints_.end());
    return table;
}

bool MountedTable::isVolumeMountPoint(const std::string& path) const
{
    return std::any_of(volumes_.begin(), volumes_.end(),
                       [&path](const Volume& volume) { return volume.mountPoint == path; });
}

bool MountedTable::isOnNetworkVolume(const std::string& path) const
{
    const Volume* volume = volumeForPath(volumes_, path);
    return volume != nullptr && volume->driveType == DriveType::Remote;
}

std::vector<std::string> MountedTable::changedSince(const MountedTable& before) const
{
    // A mount stacked on another, or one replaced by another device, changes
    // the multiset of (mount point, device) pairs as well.
    std::vector<std::pair<std::string, std::string>> changed;
    std::set_symmetric_difference(before.mounts_.begin(), before.mounts_.end(), mounts_.begin(), mounts_.end(),
                                  std::back_inserter(changed));
    std::vector<std::string> points;
    for (auto& [mountPoint, device] : changed) {
        if (points.empty() || points.back() != mountPoint)
            points.push_back(std::move(mountPoint));
    }
    std::sort(points.begin(), points.end());
    points.erase(std::unique(points.begin(), points.end()), points.end());
    return points;
}

} // namespace dw::platform
