// SPDX-License-Identifier: MIT
#include "platform/namespace/MountTable.h"

#include <QByteArray>
#include <QFile>
#include <QStorageInfo>

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace dw::platform {

namespace {

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

std::string decodeOctalEscapes(std::string_view field)
{
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        const bool escape = field[i] == '\\' && i + 3 < field.size();
        if (escape && std::all_of(field.begin() + i + 1, field.begin() + i + 4,
                                  [](char c) { return c >= '0' && c <= '7'; })) {
            out.push_back(static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3)
                                            | (field[i + 3] - '0')));
            i += 3;
        } else {
            out.push_back(field[i]);
        }
    }
    return out;
}

std::vector<std::string_view> splitFields(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
            ++at;
        const std::size_t end = line.find_first_of(" \t", at);
        const std::size_t stop = end == std::string_view::npos ? line.size() : end;
        if (stop > at)
            fields.push_back(line.substr(at, stop - at));
        at = stop;
    }
    return fields;
}

bool isHiddenSystemMountPoint(std::string_view mountPoint)
{
    for (std::string_view prefix : {"/proc", "/sys", "/dev", "/run", "/snap"}) {
        if (mountPoint == prefix || startsWith(mountPoint, std::string(prefix) + "/"))
            return !startsWith(mountPoint, "/run/media/");
    }
    return false;
}

bool isCdRomDevice(std::string_view device)
{
    return startsWith(device, "/dev/sr") || startsWith(device, "/dev/scd") || startsWith(device, "/dev/cdrom");
}

// "/dev/sdb1" -> "sdb", "/dev/nvme0n1p2" -> "nvme0n1", "/dev/mmcblk0p1" -> "mmcblk0".
std::string baseBlockDevice(std::string_view device)
{
    std::string name(device.substr(device.rfind('/') + 1));
    const bool partitionedWithP = name.find("nvme") == 0 || name.find("mmcblk") == 0 || name.find("loop") == 0;
    if (partitionedWithP) {
        const std::size_t p = name.rfind('p');
        if (p != std::string::npos && p + 1 < name.size()
            && std::all_of(name.begin() + p + 1, name.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }))
            name.resize(p);
        return name;
    }
    while (!name.empty() && std::isdigit(static_cast<unsigned char>(name.back())))
        name.pop_back();
    return name;
}

bool isUserMediaMount(std::string_view mountPoint)
{
    return startsWith(mountPoint, "/media/") || startsWith(mountPoint, "/run/media/");
}

bool isBrowsable(const MountEntry& entry)
{
    if (entry.mountPoint == "/")
        return true;
    if (isPseudoFileSystem(entry.fsType) || isHiddenSystemMountPoint(entry.mountPoint))
        return false;
    if (entry.fsType == "squashfs")
        return false; // read-only images of installed packages, not volumes of the user
    return isNetworkFileSystem(entry.fsType) || startsWith(entry.device, "/dev/");
}

// The root always counts. The table is read again on every mount change, on
// the UI thread: a stat of a mount whose server no longer answers would hang
// there, so network mounts are taken as the table states them (nobody binds
// single files over the network).
bool needsDirectoryCheck(const MountEntry& entry)
{
    return entry.mountPoint != "/" && !isNetworkFileSystem(entry.fsType);
}

} // namespace

MountProbe MountProbe::forSystem(const std::string& sysBlockPath)
{
    MountProbe probe;
    probe.isDirectory = [](const std::string& path) {
        struct stat status {};
        return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
    };
    probe.isRemovableDevice = [sysBlockPath](const std::string& device) {
        std::ifstream flag(sysBlockPath + "/" + baseBlockDevice(device) + "/removable");
        char value = '0';
        return flag && (flag >> value) && value == '1';
    };
    return probe;
}

std::vector<MountEntry> parseMountTable(std::string_view text)
{
    std::vector<MountEntry> entries;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            end = text.size();
        const auto fields = splitFields(text.substr(at, end - at));
        if (fields.size() >= 3 && fields[0].front() != '#')
            entries.push_back({decodeOctalEscapes(fields[0]), decodeOctalEscapes(fields[1]),
                               decodeOctalEscapes(fields[2])});
        at = end + 1;
    }
    return entries;
}

bool isNetworkFileSystem(std::string_view fsType)
{
    static constexpr std::array<std::string_view, 16> types{
        "nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "afs", "ceph", "glusterfs", "9p", "davfs",
        "fuse.sshfs", "fuse.rclone", "fuse.davfs2", "fuse.glusterfs", "lustre"};
    return std::find(types.begin(), types.end(), fsType) != types.end();
}

bool isPseudoFileSystem(std::string_view fsType)
{
    static constexpr std::array<std::string_view, 27> types{
        "proc", "sysfs", "cgroup", "cgroup2", "devpts", "devtmpfs", "tmpfs", "ramfs", "mqueue",
        "hugetlbfs", "debugfs", "tracefs", "securityfs", "pstore", "bpf", "configfs", "fusectl",
        "binfmt_misc", "autofs", "efivarfs", "rpc_pipefs", "nsfs", "overlay_internal", "selinuxfs",
        "fuse.gvfsd-fuse", "fuse.portal", "none"};
    return std::find(types.begin(), types.end(), fsType) != types.end();
}

DriveType classifyDrive(const MountEntry& entry, const MountProbe& probe)
{
    if (isNetworkFileSystem(entry.fsType))
        return DriveType::Remote;
    if (entry.fsType == "iso9660" || entry.fsType == "udf" || isCdRomDevice(entry.device))
        return DriveType::CdRom;
    if (startsWith(entry.device, "/dev/") && probe.isRemovableDevice && probe.isRemovableDevice(entry.device))
        return DriveType::Removable;
    if (isUserMediaMount(entry.mountPoint))
        return DriveType::Removable;
    return DriveType::Fixed;
}

std::vector<Volume> volumesFromTable(const std::vector<MountEntry>& table, const MountProbe& probe)
{
    std::vector<Volume> volumes;
    for (const MountEntry& entry : table) {
        if (!isBrowsable(entry))
            continue;
        if (needsDirectoryCheck(entry) && probe.isDirectory && !probe.isDirectory(entry.mountPoint))
            continue; // single files bound into containers
        Volume volume{entry.mountPoint, entry.device, entry.fsType, classifyDrive(entry, probe)};
        auto same = std::find_if(volumes.begin(), volumes.end(),
                                 [&](const Volume& known) { return known.mountPoint == entry.mountPoint; });
        if (same != volumes.end())
            *same = std::move(volume);
        else
            volumes.push_back(std::move(volume));
    }
    auto root = std::find_if(volumes.begin(), volumes.end(), [](const Volume& v) { return v.mountPoint == "/"; });
    if (root == volumes.end())
        volumes.insert(volumes.begin(), Volume{"/", "", "", DriveType::Fixed});
    else
        std::rotate(volumes.begin(), root, root + 1);
    return volumes;
}

std::vector<Volume> readVolumes(const std::string& mountTablePath, const std::string& sysBlockPath)
{
    // /proc files report a size of 0: read until the end rather than by size.
    std::ifstream file(mountTablePath);
    std::stringstream text;
    if (file)
        text << file.rdbuf();
    return volumesFromTable(parseMountTable(text.str()), MountProbe::forSystem(sysBlockPath));
}

std::optional<NetworkShareName> networkShareName(const Volume& volume)
{
    if (volume.driveType != DriveType::Remote)
        return std::nullopt;
    auto trimmed = [](std::string_view path) {
        while (!path.empty() && path.front() == '/')
            path.remove_prefix(1);
        while (!path.empty() && path.back() == '/')
            path.remove_suffix(1);
        return std::string(path);
    };
    const std::string_view device = volume.device;
    if (startsWith(device, "//")) {
        const std::string_view rest = device.substr(2);
        const std::size_t slash = rest.find('/');
        if (slash == 0 || slash == std::string_view::npos)
            return std::nullopt;
        return NetworkShareName{std::string(rest.substr(0, slash)), trimmed(rest.substr(slash))};
    }
    const std::size_t colon = device.find(':');
    if (colon == std::string_view::npos || colon == 0)
        return std::nullopt;
    std::string server(device.substr(0, colon));
    if (server.find('/') != std::string::npos)
        return std::nullopt;
    return NetworkShareName{std::move(server), trimmed(device.substr(colon + 1))};
}

const Volume* volumeForPath(const std::vector<Volume>& volumes, std::string_view path)
{
    const Volume* best = nullptr;
    for (const Volume& volume : volumes) {
        const std::string_view mount = volume.mountPoint;
        const bool covers = mount == "/" ? startsWith(path, "/")
                                         : startsWith(path, mount)
                && (path.size() == mount.size() || path[mount.size()] == '/');
        if (covers && (!best || mount.size() > best->mountPoint.size()))
            best = &volume;
    }
    return best;
}

std::string volumeLabel(const std::string& mountPoint)
{
    const QStorageInfo storage(QFile::decodeName(QByteArray::fromStdString(mountPoint)));
    return storage.isValid() ? storage.name().toStdString() : std::string();
}

} // namespace dw::platform
