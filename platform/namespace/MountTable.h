// SPDX-License-Identifier: MIT
#pragma once
// The machine's volumes, from a mount table in the format of
// /proc/self/mounts. QStorageInfo knows the mounts too, but not the drive
// type a shell reports (fixed, removable, CD-ROM, remote), nor the server and
// share of a network mount, so the table is read here.

#include "platform/namespace/ShellTypes.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dw::platform {

struct MountEntry {
    std::string device;
    std::string mountPoint;
    std::string fsType;
};

struct Volume {
    std::string mountPoint;
    std::string device;
    std::string fsType;
    DriveType driveType = DriveType::Unknown;
};

struct NetworkShareName {
    std::string server;
    std::string share; // the exported path without leading or trailing "/"
};

// What the classification asks of the machine; replaceable for fixtures.
struct MountProbe {
    // Never asked about network mounts, whose server may not answer.
    std::function<bool(const std::string& mountPoint)> isDirectory;
    std::function<bool(const std::string& device)> isRemovableDevice;
    static MountProbe forSystem(const std::string& sysBlockPath);
};

// Lines "device mountpoint type options dump pass"; octal escapes such as
// \040 are decoded; malformed lines are skipped.
std::vector<MountEntry> parseMountTable(std::string_view text);

bool isNetworkFileSystem(std::string_view fsType);
// proc, sysfs, cgroup, devpts, tmpfs and the other kernel file systems.
bool isPseudoFileSystem(std::string_view fsType);
DriveType classifyDrive(const MountEntry& entry, const MountProbe& probe);

// The volumes a user would browse: the root file system and every real
// block-device or network file system, one per mount point (the latest
// mount wins), in table order with the root first.
std::vector<Volume> volumesFromTable(const std::vector<MountEntry>& table, const MountProbe& probe);

// Reads `mountTablePath` now; an unreadable table gives just the root.
std::vector<Volume> readVolumes(const std::string& mountTablePath, const std::string& sysBlockPath);

// "server:/export/path" (NFS) and "//server/share" (SMB); nothing for other
// devices.
std::optional<NetworkShareName> networkShareName(const Volume& volume);

// The volume whose mount point is the longest prefix of `path`.
const Volume* volumeForPath(const std::vector<Volume>& volumes, std::string_view path);

// The label of a volume, or empty.
std::string volumeLabel(const std::string& mountPoint);

} // namespace dw::platform
