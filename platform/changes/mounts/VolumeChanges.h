// SPDX-License-Identifier: MIT
#pragma once
// What changed between two readings of the machine's volumes, as the
// reports a desktop shell sends: a volume that appeared is a drive added, one
// that went away a drive removed. On removable media the same report also
// carries media inserted or removed: views add and drop volume nodes on the
// drive reports and refresh what they show of the volume on the media ones.

#include "platform/changes/filewatch/PathChange.h"

#include <string>
#include <vector>

namespace dw::platform {

struct MountedVolume {
    std::string mountPoint;
    std::string device;
    bool removableMedia = false; // removable disks, card readers, optical drives

    bool operator==(const MountedVolume&) const = default;
};

// Removals first (in the old order), then additions (in the new order); a
// mount point whose device changed is a removal and an addition.
std::vector<PathChange> volumeChanges(const std::vector<MountedVolume>& before,
                                      const std::vector<MountedVolume>& after);

} // namespace dw::platform
