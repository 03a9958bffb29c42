#pragma once
// What every folder of one Linux namespace shares: where the user's folders
// are, and the volumes mounted right now.

#include "platform/namespace/MountTable.h"
#include "platform/namespace/NamespaceEnvironment.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace dw::platform {

class NamespaceContext {
public:
    using VolumeTable = std::shared_ptr<const std::vector<Volume>>;

    explicit NamespaceContext(NamespaceEnvironment environment) : environment_(std::move(environment)) {}

    const NamespaceEnvironment& environment() const { return environment_; }

    // Read from the mount table on every call, so mounts that come and go
    // show up on the next enumeration.
    std::vector<Volume> volumes() const { return *readNow(); }

    // The table as read at most a second ago: asked for every child a tree
    // enumerates, it must not read the mount table each time.
    VolumeTable recentVolumes() const
    {
        {
            std::lock_guard lock(mutex_);
            if (recent_ && std::chrono::steady_clock::now() - readAt_ < std::chrono::seconds(1))
                return recent_;
        }
        return readNow();
    }

    DriveType driveTypeOfPath(const std::string& path) const
    {
        const VolumeTable table = recentVolumes();
        const Volume* volume = volumeForPath(*table, path);
        return volume ? volume->driveType : DriveType::NoRootDir;
    }

    // The drive type of the volume mounted exactly at `path`, if one is.
    std::optional<DriveType> volumeTypeAt(const std::string& path) const
    {
        const VolumeTable table = recentVolumes();
        for (const Volume& volume : *table) {
            if (volume.mountPoint == path)
                return volume.driveType;
        }
        return std::nullopt;
    }

private:
    VolumeTable readNow() const
    {
        auto fresh = std::make_shared<const std::vector<Volume>>(
            readVolumes(environment_.mountTablePath, environment_.sysBlockPath));
        std::lock_guard lock(mutex_);
        recent_ = fresh;
        readAt_ = std::chrono::steady_clock::now();
        return fresh;
    }

    NamespaceEnvironment environment_;
    mutable std::mutex mutex_;
    mutable VolumeTable recent_;
    mutable std::chrono::steady_clock::time_point readAt_;
};

} // namespace dw::platform
