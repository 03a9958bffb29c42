#pragma once
// What changed between two readings of the machine's volumes, as the
// reports a desktop shell sends: a volume that appeared is a drive added (or,
// on removable media, media inserted); one that went away is a drive removed
// (or media removed).

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
