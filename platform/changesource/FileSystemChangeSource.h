// SPDX-License-Identifier: MIT
#pragma once
// The source of interrupt-level change reports on this platform: it watches
// the folders the registrations want (WatchScope.h) with the kernel's
// inotify interface and the mount table for volumes, turns what changes into
// reports with absolute item id lists and hands them to the registrations
// (ChangeRegistry.h), in the order the changes happened.
//
// There is one source per process, living on the thread that started it
// (the UI thread) and destroyed with the application object. Its watch
// tables are touched on that thread only: registrations made and folders
// listed on other threads (listings run on worker threads) reach it through
// its inbox (SourceInbox.h), which is safe to post to at any time, also
// while the source is being destroyed.
//
// A volume mounted or unmounted inside a watched folder is reported as a
// change of the mount point's folder (under the list its parent folder
// shows), besides the drive added or removed under Computer, and the mount
// point is watched afresh.

#include "platform/changes/filewatch/FolderWatcher.h"
#include "platform/changes/mounts/MountWatcher.h"
#include "platform/changesource/ChangedItemLists.h"
#include "platform/changesource/MountedTable.h"
#include "platform/changesource/SourceInbox.h"
#include "platform/changesource/SubtreeWatching.h"
#include "platform/changesource/WatchScope.h"
#include "platform/namespace/ShellTypes.h"

#include <QObject>

#include <map>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace dw::platform {

class FileSystemChangeSource : public QObject {
    Q_OBJECT
public:
    // Starts the source on the calling thread unless it runs already; needs
    // an application object, and only the application's thread starts it.
    // Answers the running source (null without one).
    static FileSystemChangeSource* start();
    // The running source, or null. Only to be used on the source's own
    // thread: from any other, it may be destroyed at any moment.
    static FileSystemChangeSource* instance();

    ~FileSystemChangeSource() override;

    FolderWatcher& folderWatcher() { return folders_; }
    MountWatcher* mountWatcher() { return mounts_.get(); }

    // Watches the mount table at `mountTablePath`, with the block devices'
    // flags under `sysBlockPath`, instead of the system's; tests present a
    // fixture table this way rather than mounting anything.
    void watchMountTable(const std::string& mountTablePath, const std::string& sysBlockPath);

    // Reads and delivers what the kernel has queued now.
    void processPendingEvents() { folders_.processPendingEvents(); }

    // Watches this process holds at most before the walks of subtrees stop.
    std::size_t subtreeWatchBudget() const { return subtrees_.budget(); }
    void setSubtreeWatchBudget(std::size_t folders) { subtrees_.setBudget(folders); }
    // True while subtrees are being walked for folders to watch.
    bool isWalkingSubtrees() const { return subtrees_.isWalking(); }

private:
    explicit FileSystemChangeSource(QObject* parent);

    void handleMail(SourceInbox::Mail mail);
    void folderEnumerated(const std::string& folder, std::int64_t modifiedNs, std::optional<FolderListing> entries);
    void registrationsChanged();
    void pruneUnwantedWatches();
    void deliver(const std::vector<PathChange>& changes);
    void deliverVolumeChange(const PathChange& change);
    void deliverPathChange(const PathChange& change);
    void deliverMountPointChange(const std::string& mountPoint);
    void deliverUnderEveryName(const PathChange& change, const ItemIdList* item1, const ItemIdList* item2);
    void followFolderChange(const PathChange& change);
    std::vector<MountedVolume> readMountedVolumes();
    void mountTableChanged();
    void refreshAliasRoots();

    std::shared_ptr<SourceInbox> inbox_;
    WatchScope scope_;
    FolderWatcher folders_;
    SubtreeWatching subtrees_;
    std::unique_ptr<MountWatcher> mounts_;
    std::string mountTablePath_;
    std::string sysBlockPath_;
    MountedTable mountedTable_;
    bool mountTableRead_ = false;
    std::vector<std::string> changedMountPoints_;
    std::map<std::string, DriveType> driveTypes_;
    ChangedItemLists itemLists_;
    // Folders watched because a view listed them: kept while a recursive
    // registration covers them, unlike the folders of a subtree no longer
    // registered.
    std::unordered_set<std::string> listedFolders_;
    std::vector<AliasRoot> aliasRoots_;
    bool prunePosted_ = false;
};

} // namespace dw::platform
