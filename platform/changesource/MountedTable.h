// SPDX-License-Identifier: MIT
#pragma once
// The machine's mount table as the change source last read it. Reading it
// (and the removable flags of the block devices) is not cheap, so it is read
// once and again only when the mount watcher says the table changed; every
// changed path in between is placed on its volume from this reading.

#include "platform/namespace/MountTable.h"

#include <string>
#include <utility>
#include <vector>

namespace dw::platform {

class MountedTable {
public:
    MountedTable() = default;
    // Reads `mountTablePath` now, with the removable flags under `sysBlockPath`.
    static MountedTable read(const std::string& mountTablePath, const std::string& sysBlockPath);

    // The volumes a user browses (see volumesFromTable).
    const std::vector<Volume>& volumes() const { return volumes_; }
    bool isVolumeMountPoint(const std::string& path) const;
    // True when `path` lies on a network volume, whose server may not answer.
    bool isOnNetworkVolume(const std::string& path) const;

    // Where anything at all is mounted, sorted.
    const std::vector<std::string>& mountPoints() const { return mountPoints_; }

    // The mount points where something was mounted or unmounted since
    // `before`, each once, sorted.
    std::vector<std::string> changedSince(const MountedTable& before) const;

private:
    std::vector<Volume> volumes_;
    std::vector<std::pair<std::string, std::string>> mounts_; // (mount point, device), sorted
    std::vector<std::string> mountPoints_;
};

} // namespace dw::platform
