// SPDX-License-Identifier: MIT
#include "platform/changes/mounts/VolumeChanges.h"

#include "platform/changes/ShellChangeEvents.h"

#include <algorithm>

namespace dw::platform {
namespace {

bool contains(const std::vector<MountedVolume>& volumes, const MountedVolume& volume)
{
    return std::find(volumes.begin(), volumes.end(), volume) != volumes.end();
}

} // namespace

std::vector<PathChange> volumeChanges(const std::vector<MountedVolume>& before,
                                      const std::vector<MountedVolume>& after)
{
    std::vector<PathChange> changes;
    for (const auto& volume : before) {
        if (!contains(after, volume))
            changes.push_back({SHCNE_DRIVEREMOVED | (volume.removableMedia ? SHCNE_MEDIAREMOVED : 0),
                               volume.mountPoint, {}, true});
    }
    for (const auto& volume : after) {
        if (!contains(before, volume))
            changes.push_back({SHCNE_DRIVEADD | (volume.removableMedia ? SHCNE_MEDIAINSERTED : 0),
                               volume.mountPoint, {}, true});
    }
    return changes;
}

} // namespace dw::platform
