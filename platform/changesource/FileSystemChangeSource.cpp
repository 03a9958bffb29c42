// SPDX-License-Identifier: MIT
#include "platform/changesource/FileSystemChangeSource.h"

#include <sys/stat.h>

#include "platform/changes/ChangeRegistry.h"
#include "platform/changes/ShellChangeEvents.h"
#include "platform/namespace/ShellNamespace.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <algorithm>
#include <mutex>

namespace dw::platform {
namespace {

// The folder's modification time in nanoseconds since 1970; -1 when gone.
std::int64_t modificationTimeNsOf(const std::string& folder)
{
    struct stat status {};
    if (::stat(folder.c_str(), &status) != 0)
        return -1;
    return static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
}


constexpr const char* kMountTable = "/proc/self/mounts";
constexpr const char* kSysBlock = "/sys/block";

std::mutex& instanceLock()
{
    static std::mutex lock;
    return lock;
}

FileSystemChangeSource*& runningSource()
{
    static FileSystemChangeSource* source = nullptr;
    return source;
}

bool isVolumeEvent(long eventId)
{
    return (eventId & (SHCNE_DRIVEADD | SHCNE_DRIVEREMOVED | SHCNE_MEDIAINSERTED | SHCNE_MEDIAREMOVED)) != 0;
}

} // namespace

FileSystemChangeSource* FileSystemChangeSource::start()
{
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr)
        return nullptr;
    FileSystemChangeSource* source = nullptr;
    {
        std::lock_guard guard(instanceLock());
        if (runningSource() != nullptr || QThread::currentThread() != application->thread())
            return runningSource();
        source = new FileSystemChangeSource(application); // owned by the application
        runningSource() = source;
    }
    // The observers hold the inbox, not the source: a listing on a worker
    // thread may call one while the source goes away.
    setEnumerationObserver([inbox = source->inbox_](const std::string& folder, std::int64_t modifiedNs,
                                                    std::optional<FolderListing> entries) {
        inbox->postEnumerated(folder, modifiedNs, std::move(entries));
    });
    SetRegistrationObserver([inbox = source->inbox_] { inbox->postRegistrationsChanged(); });
    source->registrationsChanged();
    return source;
}

FileSystemChangeSource* FileSystemChangeSource::instance()
{
    std::lock_guard guard(instanceLock());
    return runningSource();
}

FileSystemChangeSource::FileSystemChangeSource(QObject* parent)
    : QObject(parent),
      inbox_(SourceInbox::open(this, [this](SourceInbox::Mail mail) { handleMail(std::move(mail)); })),
      folders_([this](const std::vector<PathChange>& changes) { deliver(changes); }, this),
      subtrees_(folders_, [inbox = inbox_](WalkedFolders batch) { inbox->postWalked(std::move(batch)); })
{
    watchMountTable(kMountTable, kSysBlock);
    folders_.setAliasFolders([this] {
        std::vector<std::string> paths;
        for (const auto& root : aliasRoots_)
            paths.push_back(root.path);
        return paths;
    });
}

FileSystemChangeSource::~FileSystemChangeSource()
{
    {
        std::lock_guard guard(instanceLock());
        if (runningSource() == this)
            runningSource() = nullptr;
    }
    inbox_->close();
    setEnumerationObserver({});
    SetRegistrationObserver({});
}

void FileSystemChangeSource::watchMountTable(const std::string& mountTablePath, const std::string& sysBlockPath)
{
    mounts_.reset();
    mountTablePath_ = mountTablePath;
    sysBlockPath_ = sysBlockPath;
    mountTableRead_ = false; // the first reading of another table is no change
    mounts_ = std::make_unique<MountWatcher>(
        mountTablePath_, [this] { return readMountedVolumes(); },
        [this](const std::vector<PathChange>& changes) { deliver(changes); }, this);
    mounts_->setRescanHandler([this] { mountTableChanged(); });
}

void FileSystemChangeSource::handleMail(SourceInbox::Mail mail)
{
    if (mail.registrationsChanged)
        registrationsChanged();
    for (auto& folder : mail.enumeratedFolders)
        folderEnumerated(folder.path, folder.modifiedNs, std::move(folder.entries));
    for (auto& batch : mail.walked)
        subtrees_.watchWalked(std::move(batch), scope_);
}

void FileSystemChangeSource::folderEnumerated(const std::string& folder, std::int64_t modifiedNs,
                                              std::optional<FolderListing> entries)
{
    if (!scope_.coversEnumerated(folder)) {
        if (entries)
            releaseListing(std::move(*entries));
        return;
    }
    listedFolders_.insert(folder);
    const bool newWatch = !folders_.isWatched(folder);
    // With the listing's entries the folder need not be read again here (a
    // folder of 100,000 entries, or one on a slow share, would hold up this
    // thread).
    if (entries)
        folders_.watchListedFolder(folder, std::move(*entries));
    else
        folders_.watchFolder(folder);
    // The listing ran on another thread before this watch began: what
    // changed in between (the folder's time tells) is reported as a change
    // of the folder, so a view reads it again.
    if (newWatch && modifiedNs >= 0 && modificationTimeNsOf(folder) != modifiedNs)
        deliver({PathChange{SHCNE_UPDATEDIR, folder, {}, true}});
}

void FileSystemChangeSource::registrationsChanged()
{
    scope_.setRoots(RegisteredRoots(SHCNRF_InterruptLevel));
    refreshAliasRoots();
    itemLists_.forgetAll(); // kept from a namespace that may have been replaced
    for (const auto& folder : scope_.entryFolders())
        folders_.watchFolder(folder);
    subtrees_.rootsChanged(scope_, mountedTable_);
    // Watches no longer wanted go on the next turn of the event loop: a
    // component changing a setting deregisters and registers again at once,
    // and its subtree must not be dropped and walked again in between.
    if (!prunePosted_) {
        prunePosted_ = true;
        QMetaObject::invokeMethod(this, [this] { pruneUnwantedWatches(); }, Qt::QueuedConnection);
    }
}

void FileSystemChangeSource::pruneUnwantedWatches()
{
    prunePosted_ = false;
    for (const auto& folder : folders_.watchedFolders()) {
        if (!scope_.wants(folder, listedFolders_.count(folder) != 0))
            folders_.unwatchFolder(folder);
    }
    for (auto it = listedFolders_.begin(); it != listedFolders_.end();)
        it = folders_.isWatched(*it) ? std::next(it) : listedFolders_.erase(it);
    subtrees_.forgetRootsNotIn(scope_);
}

void FileSystemChangeSource::deliver(const std::vector<PathChange>& changes)
{
    for (const auto& change : changes) {
        if (isVolumeEvent(change.eventId))
            deliverVolumeChange(change);
        else
            deliverPathChange(change);
        followFolderChange(change);
    }
}

void FileSystemChangeSource::deliverVolumeChange(const PathChange& change)
{
    const auto type = driveTypes_.find(change.path1);
    IdListPtr volume = volumeIdList(change.path1, type == driveTypes_.end() ? DriveType::Unknown : type->second);
    DeliverChangeReport(SHCNRF_InterruptLevel, change.eventId, volume.get(), nullptr);
}

void FileSystemChangeSource::deliverPathChange(const PathChange& change)
{
    IdListPtr item1 = itemLists_.itemList(change.path1, change.isFolder);
    IdListPtr item2 = change.path2.empty() ? nullptr : itemLists_.itemList(change.path2, change.isFolder);
    if (item1)
        deliverUnderEveryName(change, item1.get(), item2.get());
}

void FileSystemChangeSource::deliverMountPointChange(const std::string& mountPoint)
{
    if (IdListPtr item = itemLists_.mountPointList(mountPoint))
        deliverUnderEveryName({SHCNE_UPDATEDIR, mountPoint, {}, true}, item.get(), nullptr);
}

void FileSystemChangeSource::deliverUnderEveryName(const PathChange& change, const ItemIdList* item1,
                                                   const ItemIdList* item2)
{
    DeliverChangeReport(SHCNRF_InterruptLevel, change.eventId, item1, item2);
    // The same change under the item's other names, as views that reached
    // it through them know it.
    for (const auto& root : aliasRoots_) {
        IdListPtr alias1 = aliasIdList(root, change.path1, item1);
        IdListPtr alias2 = item2 != nullptr ? aliasIdList(root, change.path2, item2) : nullptr;
        if (alias1 || alias2)
            DeliverChangeReport(SHCNRF_InterruptLevel, change.eventId, alias1 ? alias1.get() : item1,
                                alias2 ? alias2.get() : item2);
    }
}

// Keeps the kept folder lists true and the subtrees watched as folders come
// and go.
void FileSystemChangeSource::followFolderChange(const PathChange& change)
{
    switch (change.eventId) {
    case SHCNE_RMDIR:
    case SHCNE_UPDATEDIR: // a folded burst may hide folders replaced inside
        itemLists_.forgetTree(change.path1);
        break;
    case SHCNE_MKDIR:
        itemLists_.forgetTree(change.path1);
        subtrees_.folderArrived(change.path1, false, scope_, mountedTable_);
        break;
    case SHCNE_RENAMEFOLDER:
        itemLists_.forgetTree(change.path1);
        itemLists_.forgetTree(change.path2);
        subtrees_.folderArrived(change.path2, !scope_.inSubtree(change.path1), scope_, mountedTable_);
        break;
    default:
        break;
    }
}

std::vector<MountedVolume> FileSystemChangeSource::readMountedVolumes()
{
    MountedTable fresh = MountedTable::read(mountTablePath_, sysBlockPath_);
    if (mountTableRead_)
        changedMountPoints_ = fresh.changedSince(mountedTable_);
    mountTableRead_ = true;
    mountedTable_ = std::move(fresh);
    std::vector<MountedVolume> mounted;
    std::vector<std::string> mountPoints;
    for (const auto& volume : mountedTable_.volumes()) {
        // Kept after unmounting too: the removal report needs the same list.
        driveTypes_[volume.mountPoint] = volume.driveType;
        const bool removable = volume.driveType == DriveType::Removable || volume.driveType == DriveType::CdRom;
        mounted.push_back({volume.mountPoint, volume.device, removable});
        mountPoints.push_back(volume.mountPoint);
    }
    std::sort(mountPoints.begin(), mountPoints.end());
    itemLists_.setVolumeMountPoints(std::move(mountPoints));
    return mounted;
}

// After the volume reports: a mount point inside a watched folder, or one
// that is watched itself, now shows other contents.
void FileSystemChangeSource::mountTableChanged()
{
    const std::vector<std::string> changed = std::move(changedMountPoints_);
    changedMountPoints_.clear();
    refreshAliasRoots();
    for (const auto& mountPoint : changed) {
        // Registered folders on that volume are there again, or anew.
        subtrees_.forgetRootsAtOrBelow(mountPoint);
        const bool watched = folders_.isWatched(mountPoint);
        if (!watched && !folders_.isWatched(parentPath(mountPoint)))
            continue;
        // A network share's server may not answer: nothing below its mount
        // point is touched from here, not even the mount point itself.
        const bool remote = mountedTable_.isOnNetworkVolume(mountPoint);
        if (remote)
            folders_.unwatchTree(mountPoint);
        else if (watched || scope_.inSubtree(mountPoint))
            folders_.rewatchFolder(mountPoint);
        deliverMountPointChange(mountPoint);
    }
    if (changed.empty())
        return;
    for (const auto& folder : scope_.entryFolders())
        folders_.watchFolder(folder);
    subtrees_.rootsChanged(scope_, mountedTable_);
}

void FileSystemChangeSource::refreshAliasRoots()
{
    aliasRoots_ = currentAliasRoots();
}

} // namespace dw::platform
