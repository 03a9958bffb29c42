#pragma once
// The source of interrupt-level change reports on this platform: it watches
// the folders the registrations want (WatchScope.h) with the kernel's
// inotify interface and the mount table for volumes, turns what changes into
// reports with absolute item id lists and hands them to the registrations
// (ChangeRegistry.h), in the order the changes happened.
//
// There is one source per process, living on the thread that started it
// (the UI thread) and destroyed with the application object. Registrations
// and enumerations on other threads reach it through that thread's queue.

#include "platform/changes/filewatch/FolderWatcher.h"
#include "platform/changes/mounts/MountWatcher.h"
#include "platform/changes/source/WatchScope.h"
#include "platform/namespace/ShellTypes.h"

#include <QObject>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace dw::platform {

class FileSystemChangeSource : public QObject {
    Q_OBJECT
public:
    // Starts the source on the calling thread unless it runs already; needs
    // an application object. Answers the running source (null without one).
    static FileSystemChangeSource* start();
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

private:
    explicit FileSystemChangeSource(QObject* parent);

    void folderEnumerated(const std::string& folder);
    void registrationsChanged();
    void deliver(const std::vector<PathChange>& changes);
    std::vector<MountedVolume> readMountedVolumes();

    WatchScope scope_;
    FolderWatcher folders_;
    std::unique_ptr<MountWatcher> mounts_;
    std::string mountTablePath_;
    std::string sysBlockPath_;
    std::map<std::string, DriveType> driveTypes_;
};

} // namespace dw::platform
