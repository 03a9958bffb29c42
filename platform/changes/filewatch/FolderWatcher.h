// SPDX-License-Identifier: MIT
#pragma once
// Watches a set of folders (each folder itself, not its subtree: the kernel
// watches one folder at a time) and hands on what changes in them as the
// changes a desktop shell reports, in the order they happened.
//
// Events are read on the thread that owns the watcher, only when the kernel
// says some are waiting, and never more than a bounded amount per turn of the
// event loop, so a storm of changes neither blocks nor floods the UI thread.
// Each batch read is coalesced (BurstCoalescer.h) before it is handed on.
//
// When the kernel's limit of watches is reached, the folder that could not be
// watched is reported as changed ("read it again yourself"), once, and the user is
// told once how to raise the limit (LiveUpdateNotice.h); when the kernel's
// event queue overflows, every watched root is reported as changed and the
// user is told once as well. A watched folder whose volume is unmounted is
// watched again (what lies under the mount point is a folder too).
//
// A folder starts being watched on another thread (WatchStarts.h), unless a
// listing made just before is handed over with it.

#include "platform/changes/filewatch/ChangeTranslator.h"
#include "platform/changes/filewatch/InotifyReader.h"
#include "platform/changes/filewatch/PathChange.h"
#include "platform/changes/filewatch/WatchStarts.h"
#include "platform/changes/filewatch/WatchTable.h"

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace dw::platform {

class FolderWatcher : public QObject {
    Q_OBJECT
public:
    using ChangeSink = std::function<void(const std::vector<PathChange>&)>;

    explicit FolderWatcher(ChangeSink sink, QObject* parent = nullptr);
    ~FolderWatcher() override;

    // False when the kernel refused an inotify instance (nothing is watched).
    bool isAvailable() const { return reader_.isOpen(); }

    // Starts watching `folder`, on another thread: adding a watch waits for
    // the folder's file system, and recording what it holds means reading
    // it. A watch added within kQuickAddMs is in place when this returns;
    // a slower one counts as watched until it is in, and the folder is then
    // reported changed. A watch limit reached is reported when known.
    void watchFolder(const std::string& folder);
    // Watches at once a folder whose entries were just read (on another
    // thread), so that it need not be read again (already watched counts
    // as Added).
    AddWatchResult watchListedFolder(const std::string& folder, FolderListing listing);
    // Stops watching `folder` alone.
    void unwatchFolder(const std::string& folder);
    // Stops watching `folder` and every watched folder below it.
    void unwatchTree(const std::string& folder);
    // Watches `folder` afresh, alone: what its path leads to changed (a
    // volume was mounted on it or taken away).
    void rewatchFolder(const std::string& folder);
    void unwatchAll();

    bool isWatched(const std::string& folder) const { return table_.isWatched(folder) || starting_.count(folder) != 0; }
    std::size_t watchedFolderCount() const { return table_.pathCount() + starting_.size(); }
    std::vector<std::string> watchedFolders() const;
    // True while watches are being started.
    bool isStartingWatches() const { return !awaitedStarts_.empty(); }

    // Reads and hands on what is waiting now; false when nothing was. Runs
    // by itself when the kernel signals (during a burst of changes, after a
    // pause of kBurstPauseMs, so a burst is read in few large reads);
    // callable directly by code that must not wait for the loop.
    bool processPendingEvents();

    static constexpr int kBurstPauseMs = 5;

    // Replaces the kernel's answer to adding a watch (tests present a kernel
    // whose watch limit is reached); an empty function restores it. It is
    // called on other threads.
    using WatchAdder = InotifyReader::WatchAdder;
    void setWatchAdder(WatchAdder adder) { watchAdder_ = std::move(adder); }

    // The folders whose items are also reported under a second name, asked
    // once per read so the burst folding counts every report a read sends.
    using AliasFolders = std::function<std::vector<std::string>()>;
    void setAliasFolders(AliasFolders aliasFolders) { aliasFolders_ = std::move(aliasFolders); }

    // How long watchFolder waits for the kernel's watch.
    static constexpr int kQuickAddMs = 50;

    // Bytes read at most per turn of the event loop.
    static constexpr std::size_t kReadBudget = 256 * 1024;

private:
    bool takeWatch(const std::string& folder, const AddedWatch& added);
    void watchStarted(std::uint64_t ticket, StartedWatch started);
    void watchAddedLate(std::uint64_t ticket, StartedWatch& started);
    void recordRead(std::uint64_t ticket, StartedWatch& started);
    void unwatchUnwanted(const StartedWatch& started);
    void pauseReading();
    void readAfterPause();
    void handOn(TranslatedBatch batch);
    void removeKernelWatches(const std::vector<int>& watches);
    void reportWatchLimit(const std::string& folder);
    void reportOverflow();

    ChangeSink sink_;
    InotifyReader reader_;
    WatchTable table_;
    ChangeTranslator translator_{table_};
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer burstPause_;
    WatchStarts starts_;
    std::set<std::uint64_t> awaitedStarts_; // what they made is still to come
    std::map<std::string, std::uint64_t> starting_; // folder -> ticket of a start whose watch is not in yet
    // Bytes of the kernel's queue still to be told before the records read
    // last are settled (FolderEntries.h).
    std::size_t unsettledBytes_ = 0;
    WatchAdder watchAdder_;
    AliasFolders aliasFolders_;
    // Folders already reported as unwatchable: a view re-reading one enumerates
    // it again, which must not bring another report (and another re-read).
    std::set<std::string> reportedUnwatchable_;
};

} // namespace dw::platform
