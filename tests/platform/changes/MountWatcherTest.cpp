// SPDX-License-Identifier: MIT
#include "platform/changes/mounts/MountWatcher.h"

#include "platform/changes/ShellChangeEvents.h"

#include <gtest/gtest.h>

namespace dw::platform {
namespace {

TEST(VolumeChangesTest, EveryVolumeIsADriveAndRemovableOnesAreMediaToo)
{
    const std::vector<MountedVolume> before = {
        {"/", "/dev/sda1", false}, {"/mnt/data", "/dev/sdb1", false}, {"/media/stick", "/dev/sdc1", true}};
    const std::vector<MountedVolume> after = {
        {"/", "/dev/sda1", false}, {"/media/cd", "/dev/sr0", true}, {"/srv/nfs", "host:/export", false}};
    const std::vector<PathChange> expected = {
        {SHCNE_DRIVEREMOVED, "/mnt/data", "", true},
        {SHCNE_DRIVEREMOVED | SHCNE_MEDIAREMOVED, "/media/stick", "", true},
        {SHCNE_DRIVEADD | SHCNE_MEDIAINSERTED, "/media/cd", "", true},
        {SHCNE_DRIVEADD, "/srv/nfs", "", true},
    };
    EXPECT_EQ(volumeChanges(before, after), expected);
}

TEST(VolumeChangesTest, NewDeviceOnTheSameMountPointIsRemovedThenAdded)
{
    const std::vector<PathChange> expected = {
        {SHCNE_DRIVEREMOVED | SHCNE_MEDIAREMOVED, "/media/card", "", true},
        {SHCNE_DRIVEADD | SHCNE_MEDIAINSERTED, "/media/card", "", true},
    };
    EXPECT_EQ(volumeChanges({{"/media/card", "/dev/sdd1", true}}, {{"/media/card", "/dev/sde1", true}}), expected);
    EXPECT_TRUE(volumeChanges({{"/", "/dev/sda1", false}}, {{"/", "/dev/sda1", false}}).empty());
}

TEST(MountWatcherTest, RescanHandsOnOnlyTheDifferences)
{
    std::vector<MountedVolume> volumes = {{"/", "/dev/sda1", false}};
    std::vector<PathChange> received;
    MountWatcher watcher(
        "/proc/self/mounts", [&volumes] { return volumes; },
        [&received](const std::vector<PathChange>& changes) {
            received.insert(received.end(), changes.begin(), changes.end());
        });
    EXPECT_TRUE(watcher.isWatching());

    watcher.rescan();
    EXPECT_TRUE(received.empty()) << "the volumes known at start are no change";
    volumes.push_back({"/media/stick", "/dev/sdc1", true});
    watcher.rescan();
    watcher.rescan();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0], (PathChange{SHCNE_DRIVEADD | SHCNE_MEDIAINSERTED, "/media/stick", "", true}));
}

TEST(MountWatcherTest, MissingMountTableMeansNotWatching)
{
    MountWatcher watcher("/nonexistent/mounts", [] { return std::vector<MountedVolume>(); }, {});
    EXPECT_FALSE(watcher.isWatching());
    watcher.rescan(); // harmless
}

} // namespace
} // namespace dw::platform
