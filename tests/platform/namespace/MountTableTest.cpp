// SPDX-License-Identifier: MIT
#include "platform/namespace/MountTable.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <set>

using namespace dw::platform;

namespace {

// A desktop machine's table: kernel file systems, the root, a home
// partition, a USB stick, a DVD, NFS and SMB shares, a container's bound
// files and a snap image.
constexpr const char* kTable = R"(proc /proc proc rw,nosuid 0 0
sysfs /sys sysfs rw 0 0
devtmpfs /dev devtmpfs rw 0 0
devpts /dev/pts devpts rw 0 0
tmpfs /run tmpfs rw 0 0
cgroup2 /sys/fs/cgroup cgroup2 rw 0 0
/dev/nvme0n1p2 / ext4 rw 0 0
/dev/nvme0n1p3 /home ext4 rw 0 0
/dev/sdb1 /media/ann/My\040Stick vfat rw 0 0
/dev/sr0 /media/ann/DVD iso9660 ro 0 0
fileserver:/export/projects /mnt/projects nfs4 rw 0 0
//nas/music /mnt/music cifs rw 0 0
/dev/vda /etc/hosts ext4 rw 0 0
/dev/loop3 /snap/core/123 squashfs ro 0 0
tmpfs /tmp tmpfs rw 0 0
)";

MountProbe fixtureProbe()
{
    MountProbe probe;
    probe.isDirectory = [](const std::string& path) { return path != "/etc/hosts"; };
    probe.isRemovableDevice = [](const std::string& device) { return device == "/dev/sdb1"; };
    return probe;
}

const Volume* find(const std::vector<Volume>& volumes, const std::string& mountPoint)
{
    for (const Volume& volume : volumes) {
        if (volume.mountPoint == mountPoint)
            return &volume;
    }
    return nullptr;
}

} // namespace

TEST(MountTable, ParsesFieldsAndDecodesEscapes)
{
    const auto entries = parseMountTable("/dev/sdb1 /media/a\\040b\\011c vfat rw 0 0\nbroken\n\n");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].device, "/dev/sdb1");
    EXPECT_EQ(entries[0].mountPoint, "/media/a b\tc");
    EXPECT_EQ(entries[0].fsType, "vfat");
}

TEST(MountTable, KeepsRealVolumesOnly)
{
    const auto volumes = volumesFromTable(parseMountTable(kTable), fixtureProbe());
    std::set<std::string> mountPoints;
    for (const Volume& volume : volumes)
        mountPoints.insert(volume.mountPoint);
    EXPECT_EQ(mountPoints, (std::set<std::string>{"/", "/home", "/media/ann/My Stick", "/media/ann/DVD",
                                                  "/mnt/projects", "/mnt/music"}));
    EXPECT_EQ(volumes.front().mountPoint, "/");
}

TEST(MountTable, DriveTypesFromDeviceAndFileSystem)
{
    const auto volumes = volumesFromTable(parseMountTable(kTable), fixtureProbe());
    EXPECT_EQ(find(volumes, "/")->driveType, DriveType::Fixed);
    EXPECT_EQ(find(volumes, "/home")->driveType, DriveType::Fixed);
    EXPECT_EQ(find(volumes, "/media/ann/My Stick")->driveType, DriveType::Removable);
    EXPECT_EQ(find(volumes, "/media/ann/DVD")->driveType, DriveType::CdRom);
    EXPECT_EQ(find(volumes, "/mnt/projects")->driveType, DriveType::Remote);
    EXPECT_EQ(find(volumes, "/mnt/music")->driveType, DriveType::Remote);
}

TEST(MountTable, LaterMountOverLaterPointWins)
{
    const auto volumes = volumesFromTable(
        parseMountTable("/dev/sda1 / ext4 rw 0 0\n/dev/sda2 /data ext4 rw 0 0\nsrv:/x /data nfs rw 0 0\n"),
        fixtureProbe());
    ASSERT_EQ(volumes.size(), 2u);
    EXPECT_EQ(find(volumes, "/data")->driveType, DriveType::Remote);
}

TEST(MountTable, NetworkMountPointsAreNeverTouched)
{
    std::set<std::string> looked;
    MountProbe probe = fixtureProbe();
    probe.isDirectory = [&looked](const std::string& path) {
        looked.insert(path);
        return path != "/etc/hosts";
    };
    const auto volumes = volumesFromTable(
        parseMountTable(std::string(kTable) + "ann@host:/srv /mnt/ssh fuse.sshfs rw 0 0\n"), probe);
    EXPECT_EQ(looked.count("/mnt/projects"), 0u);
    EXPECT_EQ(looked.count("/mnt/music"), 0u);
    EXPECT_EQ(looked.count("/mnt/ssh"), 0u);
    EXPECT_EQ(looked.count("/home"), 1u); // local mounts are still checked
    EXPECT_EQ(find(volumes, "/etc/hosts"), nullptr);
    ASSERT_NE(find(volumes, "/mnt/ssh"), nullptr);
    EXPECT_EQ(find(volumes, "/mnt/ssh")->driveType, DriveType::Remote);
}

TEST(MountTable, AnUnreachableNetworkMountIsListedFromTheTableAlone)
{
    // A mount point that a stat cannot reach stands in for a server that no
    // longer answers: the volume is still listed, as the table states it.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string table = dir.path().toStdString() + "/mounts";
    std::ofstream(table) << "/dev/sda1 / ext4 rw 0 0\n"
                         << "srv:/gone /nonexistent/dead-server nfs rw 0 0\n"
                         << "/dev/sda2 /nonexistent/local ext4 rw 0 0\n";
    const auto volumes = readVolumes(table, dir.path().toStdString());
    ASSERT_NE(find(volumes, "/nonexistent/dead-server"), nullptr);
    EXPECT_EQ(find(volumes, "/nonexistent/local"), nullptr);
}

TEST(MountTable, RootIsThereEvenWhenTheTableIsUnreadable)
{
    const auto volumes = readVolumes("/nonexistent/mounts", "/nonexistent");
    ASSERT_EQ(volumes.size(), 1u);
    EXPECT_EQ(volumes[0].mountPoint, "/");
}

TEST(MountTable, NetworkShareNames)
{
    const auto volumes = volumesFromTable(parseMountTable(kTable), fixtureProbe());
    const auto nfs = networkShareName(*find(volumes, "/mnt/projects"));
    ASSERT_TRUE(nfs);
    EXPECT_EQ(nfs->server, "fileserver");
    EXPECT_EQ(nfs->share, "export/projects");
    const auto smb = networkShareName(*find(volumes, "/mnt/music"));
    ASSERT_TRUE(smb);
    EXPECT_EQ(smb->server, "nas");
    EXPECT_EQ(smb->share, "music");
    EXPECT_FALSE(networkShareName(*find(volumes, "/home")));
}

TEST(MountTable, VolumeForPathTakesLongestMountPrefix)
{
    const auto volumes = volumesFromTable(parseMountTable(kTable), fixtureProbe());
    EXPECT_EQ(volumeForPath(volumes, "/home/ann/x")->mountPoint, "/home");
    EXPECT_EQ(volumeForPath(volumes, "/home")->mountPoint, "/home");
    EXPECT_EQ(volumeForPath(volumes, "/homework")->mountPoint, "/"); // not a component boundary
    EXPECT_EQ(volumeForPath(volumes, "/media/ann/My Stick/a")->mountPoint, "/media/ann/My Stick");
    EXPECT_EQ(volumeForPath(volumes, "relative"), nullptr);
}
