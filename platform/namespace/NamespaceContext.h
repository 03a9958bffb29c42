#pragma once
// What every folder of one Linux namespace shares: where the user's folders
// are, and the volumes mounted right now.

#include "platform/namespace/MountTable.h"
#include "platform/namespace/NamespaceEnvironment.h"

#include <vector>

namespace dw::platform {

class NamespaceContext {
public:
    explicit NamespaceContext(NamespaceEnvironment environment) : environment_(std::move(environment)) {}

    const NamespaceEnvironment& environment() const { return environment_; }
    // Read from the mount table on every call, so mounts that come and go
    // show up on the next enumeration.
    std::vector<Volume> volumes() const
    {
        return readVolumes(environment_.mountTablePath, environment_.sysBlockPath);
    }
    DriveType driveTypeOfPath(const std::string& path) const
    {
        const auto all = volumes();
        const Volume* volume = volumeForPath(all, path);
        return volume ? volume->driveType : DriveType::NoRootDir;
    }

private:
    NamespaceEnvironment environment_;
};

} // namespace dw::platform
