#pragma once
// What every folder of one Linux namespace shares: where the user's folders
// are, and the volumes mounted right now.

#include "platform/namespace/MountTable.h"
#include "platform/namespace/NamespaceEnvironment.h"

#include <chrono>
#include <mutex>
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
        auto fresh = readVolumes(environment_.mountTablePath, environment_.sysBlockPath);
        std::lock_guard lock(mutex_);
        recent_ = fresh;
        readAt_ = std::chrono::steady_clock::now();
        return fresh;
    }
    // Asked for every child a tree enumerates: answered from a table at most
    // a second old rather than reading the mount table each time.
    DriveType driveTypeOfPath(const std::string& path) const
    {
        const auto all = recentVolumes();
        const Volume* volume = volumeForPath(all, path);
        return volume ? volume->driveType : DriveType::NoRootDir;
    }

    // The volumes as read at most a second ago.
    std::vector<Volume> recentVolumes() const
    {
        {
            std::lock_guard lock(mutex_);
            if (!recent_.empty() && std::chrono::steady_clock::now() - readAt_ < std::chrono::seconds(1))
                return recent_;
        }
        return volumes();
    }

private:
    NamespaceEnvironment environment_;
    mutable std::mutex mutex_;
    mutable std::vector<Volume> recent_;
    mutable std::chrono::steady_clock::time_point readAt_;
};

} // namespace dw::platform
