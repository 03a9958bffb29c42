// SPDX-License-Identifier: MIT
#pragma once
// What every folder of one Linux namespace shares: where the user's folders
// are, and the volumes mounted right now.

#include "platform/namespace/MountTable.h"
#include "platform/namespace/MountTableChanges.h"
#include "platform/namespace/NamespaceEnvironment.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

namespace dw::platform {

class NamespaceContext {
public:
    using VolumeTable = std::shared_ptr<const std::vector<Volume>>;

    explicit NamespaceContext(NamespaceEnvironment environment);

    const NamespaceEnvironment& environment() const { return environment_; }

    // The volumes mounted now. The table is read again only when the
    // kernel says it changed: parsing a path or listing a folder asks for
    // it often, and reading it means looking at every mount point.
    std::vector<Volume> volumes() const { return *volumeTable(); }
    VolumeTable volumeTable() const;

    DriveType driveTypeOfPath(const std::string& path) const;

    // The drive type of the volume mounted exactly at `path`, if one is.
    std::optional<DriveType> volumeTypeAt(const std::string& path) const;

    // The volumes mounted on entries of `folderPath` itself (not deeper),
    // for listings that must not touch them.
    std::vector<Volume> volumesMountedIn(std::string_view folderPath) const;

private:
    NamespaceEnvironment environment_;
    mutable MountTableChanges changes_;
    mutable std::mutex mutex_;
    mutable VolumeTable table_;
};

} // namespace dw::platform
