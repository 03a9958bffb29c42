#include "platform/changes/source/FileSystemChangeSource.h"

#include "platform/changes/ChangeRegistry.h"
#include "platform/changes/ShellChangeEvents.h"
#include "platform/changes/source/ChangedItemLists.h"
#include "platform/namespace/MountTable.h"
#include "platform/namespace/ShellNamespace.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <mutex>

namespace dw::platform {
namespace {

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

// Runs `work` on the source's thread: at once when called there, else
// queued (a queued call dies with the source). Dropped when no source runs.
template <class Work>
void onSourceThread(Work work)
{
    FileSystemChangeSource* source = FileSystemChangeSource::instance();
    if (source == nullptr)
        return;
    if (QThread::currentThread() == source->thread()) {
        work(*source);
        return;
    }
    std::lock_guard guard(instanceLock());
    if (FileSystemChangeSource* running = runningSource())
        QMetaObject::invokeMethod(running, [running, work] { work(*running); }, Qt::QueuedConnection);
}

bool isVolumeEvent(long eventId)
{
    return (eventId & (SHCNE_DRIVEADD | SHCNE_DRIVEREMOVED | SHCNE_MEDIAINSERTED | SHCNE_MEDIAREMOVED)) != 0;
}

} // namespace

FileSystemChangeSource* FileSystemChangeSource::start()
{
    if (QCoreApplication::instance() == nullptr)
        return nullptr;
    {
        std::lock_guard guard(instanceLock());
        if (runningSource() != nullptr)
            return runningSource();
    }
    auto* source = new FileSystemChangeSource(QCoreApplication::instance()); // owned by the application
    {
        std::lock_guard guard(instanceLock());
        runningSource() = source;
    }
    setEnumerationObserver([](const std::string& folder) {
        onSourceThread([folder](FileSystemChangeSource& source) { source.folderEnumerated(folder); });
    });
    SetRegistrationObserver([] {
        onSourceThread([](FileSystemChangeSource& source) { source.registrationsChanged(); });
    });
    source->registrationsChanged();
    return source;
}

FileSystemChangeSource* FileSystemChangeSource::instance()
{
    std::lock_guard guard(instanceLock());
    return runningSource();
}

FileSystemChangeSource::FileSystemChangeSource(QObject* parent)
    : QObject(parent), folders_([this](const std::vector<PathChange>& changes) { deliver(changes); }, this)
{
    watchMountTable(kMountTable, kSysBlock);
    folders_.setAliasFolders([] {
        std::vector<std::string> paths;
        for (const auto& root : currentAliasRoots())
            paths.push_back(root.path);
        return paths;
    });
}

FileSystemChangeSource::~FileSystemChangeSource()
{
    setEnumerationObserver({});
    SetRegistrationObserver({});
    std::lock_guard guard(instanceLock());
    if (runningSource() == this)
        runningSource() = nullptr;
}

void FileSystemChangeSource::watchMountTable(const std::string& mountTablePath, const std::string& sysBlockPath)
{
    mounts_.reset();
    mountTablePath_ = mountTablePath;
    sysBlockPath_ = sysBlockPath;
    mounts_ = std::make_unique<MountWatcher>(
        mountTablePath_, [this] { return readMountedVolumes(); },
        [this](const std::vector<PathChange>& changes) { deliver(changes); }, this);
}

void FileSystemChangeSource::folderEnumerated(const std::string& folder)
{
    if (!folders_.isWatched(folder) && scope_.coversEnumerated(folder))
        folders_.watchFolder(folder);
}

void FileSystemChangeSource::registrationsChanged()
{
    scope_.setRoots(RegisteredRoots(SHCNRF_InterruptLevel));
    for (const auto& folder : folders_.watchedFolders()) {
        if (!scope_.wants(folder))
            folders_.unwatchFolder(folder);
    }
    for (const auto& folder : scope_.entryFolders())
        folders_.watchFolder(folder);
}

void FileSystemChangeSource::deliver(const std::vector<PathChange>& changes)
{
    const std::vector<AliasRoot> aliasRoots = currentAliasRoots();
    for (const auto& change : changes) {
        if (isVolumeEvent(change.eventId)) {
            const auto type = driveTypes_.find(change.path1);
            IdListPtr volume =
                volumeIdList(change.path1, type == driveTypes_.end() ? DriveType::Unknown : type->second);
            DeliverChangeReport(SHCNRF_InterruptLevel, change.eventId, volume.get(), nullptr);
            continue;
        }
        IdListPtr item1 = changedPathIdList(change.path1, change.isFolder);
        IdListPtr item2 = change.path2.empty() ? nullptr : changedPathIdList(change.path2, change.isFolder);
        if (!item1)
            continue;
        DeliverChangeReport(SHCNRF_InterruptLevel, change.eventId, item1.get(), item2.get());
        // The same change under the item's other names, as views that
        // reached it through them know it.
        for (const auto& root : aliasRoots) {
            IdListPtr alias1 = aliasIdList(root, change.path1, item1.get());
            IdListPtr alias2 = item2 ? aliasIdList(root, change.path2, item2.get()) : nullptr;
            if (alias1 || alias2)
                DeliverChangeReport(SHCNRF_InterruptLevel, change.eventId, alias1 ? alias1.get() : item1.get(),
                                    alias2 ? alias2.get() : item2.get());
        }
    }
}

std::vector<MountedVolume> FileSystemChangeSource::readMountedVolumes()
{
    std::vector<MountedVolume> mounted;
    for (const auto& volume : readVolumes(mountTablePath_, sysBlockPath_)) {
        // Kept after unmounting too: the removal report needs the same list.
        driveTypes_[volume.mountPoint] = volume.driveType;
        const bool removable = volume.driveType == DriveType::Removable || volume.driveType == DriveType::CdRom;
        mounted.push_back({volume.mountPoint, volume.device, removable});
    }
    return mounted;
}

} // namespace dw::platform
