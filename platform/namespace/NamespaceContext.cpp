// SPDX-License-Identifier: MIT
#include "platform/namespace/NamespaceContext.h"

namespace dw::platform {

NamespaceContext::NamespaceContext(NamespaceEnvironment environment)
    : environment_(std::move(environment)), changes_(environment_.mountTablePath)
{
}

NamespaceContext::VolumeTable NamespaceContext::volumeTable() const
{
    std::lock_guard lock(mutex_);
    if (changes_.changedSinceLastLook() || !table_)
        table_ = std::make_shared<const std::vector<Volume>>(
            readVolumes(environment_.mountTablePath, environment_.sysBlockPath));
    return table_;
}

DriveType NamespaceContext::driveTypeOfPath(const std::string& path) const
{
    const VolumeTable table = volumeTable();
    const Volume* volume = volumeForPath(*table, path);
    return volume ? volume->driveType : DriveType::NoRootDir;
}

std::optional<DriveType> NamespaceContext::volumeTypeAt(const std::string& path) const
{
    const VolumeTable table = volumeTable();
    for (const Volume& volume : *table) {
        if (volume.mountPoint == path)
            return volume.driveType;
    }
    return std::nullopt;
}

std::vector<Volume> NamespaceContext::volumesMountedIn(std::string_view folderPath) const
{
    std::vector<Volume> inside;
    const VolumeTable table = volumeTable();
    for (const Volume& volume : *table) {
        const std::string_view mountPoint = volume.mountPoint;
        const std::size_t slash = mountPoint.rfind('/');
        if (slash == std::string_view::npos || mountPoint == "/")
            continue;
        const std::string_view parent = slash == 0 ? std::string_view("/") : mountPoint.substr(0, slash);
        if (parent == folderPath)
            inside.push_back(volume);
    }
    return inside;
}

} // namespace dw::platform
