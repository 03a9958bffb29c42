// SPDX-License-Identifier: MIT
#include "platform/changes/filewatch/FolderWatcher.h"

#include "platform/changes/LiveUpdateNotice.h"
#include "platform/changes/ShellChangeEvents.h"
#include "platform/changes/filewatch/BurstCoalescer.h"
#include "platform/changes/filewatch/WatchNotices.h"

#include <algorithm>
#include <chrono>
#include <string>

namespace dw::platform {
FolderWatcher::FolderWatcher(ChangeSink sink, QObject* parent)
    : QObject(parent),
      sink_(std::move(sink)),
      starts_(this, [this](std::uint64_t ticket, StartedWatch started) { watchStarted(ticket, std::move(started)); })
{
    if (!reader_.isOpen()) {
        ReportLiveUpdateProblem(LiveUpdateProblem::WatchingUnavailable, unavailableNotice(instanceLimit()));
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(reader_.fileDescriptor(), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { processPendingEvents(); });
    burstPause_.setSingleShot(true);
    burstPause_.setInterval(kBurstPauseMs);
    connect(&burstPause_, &QTimer::timeout, this, [this] { readAfterPause(); });
}

FolderWatcher::~FolderWatcher() = default;

// The kernel's watch and the record of what the folder holds (which tells
// links to folders and replaced items) are made on another thread. A watch
// added within kQuickAddMs is in place when this returns, as if added on
// the spot, so that no change made after this call is missed; one whose
// file system is slower to answer counts as watched until it is in, and is
// then reported changed, since what changed before was not seen. Until the
// record is in, and until the changes that may have come before it are
// told, the record answers only for what those changes told: a removed
// link to a folder may be told as a file, a replaced item not told gone,
// but nothing is told that did not happen.
void FolderWatcher::watchFolder(const std::string& folder)
{
    if (isWatched(folder))
        return;
    WatchStarts::Start start = starts_.start(folder, watchAdder_ ? watchAdder_ : reader_.adderForOtherThreads());
    awaitedStarts_.insert(start.ticket);
    if (start.added.wait_for(std::chrono::milliseconds(kQuickAddMs)) != std::future_status::ready) {
        starting_[folder] = start.ticket;
        return;
    }
    if (takeWatch(folder, start.added.get()))
        translator_.folderWatched(folder, start.ticket);
}

// Enters a watch the kernel added in the table; tells a limit reached.
bool FolderWatcher::takeWatch(const std::string& folder, const AddedWatch& added)
{
    if (added.result == AddWatchResult::LimitReached)
        reportWatchLimit(folder);
    if (added.result != AddWatchResult::Added)
        return false;
    table_.add(added.watch, folder);
    reportedUnwatchable_.erase(folder);
    return true;
}

void FolderWatcher::watchStarted(std::uint64_t ticket, StartedWatch started)
{
    awaitedStarts_.erase(ticket);
    const std::string& folder = started.folder;
    const auto starting = starting_.find(folder);
    if (starting != starting_.end() && starting->second == ticket) {
        starting_.erase(starting);
        watchAddedLate(ticket, started);
    } else if (starting == starting_.end() && started.added.result == AddWatchResult::Added) {
        recordRead(ticket, started);
    } else {
        unwatchUnwanted(started);
    }
    if (started.entries)
        releaseListing(std::move(*started.entries));
}

void FolderWatcher::recordRead(std::uint64_t ticket, StartedWatch& started)
{
    translator_.listingRead(ticket, started.entries ? std::move(*started.entries) : FolderListing());
    unsettledBytes_ = reader_.bytesWaiting(); // all that may have come before the read ended
    if (unsettledBytes_ == 0)
        translator_.settleRecords();
}

void FolderWatcher::watchAddedLate(std::uint64_t ticket, StartedWatch& started)
{
    const std::string& folder = started.folder;
    if (table_.isWatched(folder) || !takeWatch(folder, started.added))
        return;
    translator_.folderWatched(folder, ticket);
    recordRead(ticket, started);
    if (sink_)
        sink_({{SHCNE_UPDATEDIR, folder, {}, true}});
}

// A watch added for a folder no longer wanted goes, unless another path
// (or another start) of the same folder uses it.
void FolderWatcher::unwatchUnwanted(const StartedWatch& started)
{
    if (started.added.result == AddWatchResult::Added && table_.pathsOf(started.added.watch).empty()
        && starting_.count(started.folder) == 0)
        reader_.removeWatch(started.added.watch);
}

std::vector<std::string> FolderWatcher::watchedFolders() const
{
    std::vector<std::string> folders = table_.paths();
    for (const auto& [folder, ticket] : starting_)
        folders.push_back(folder);
    return folders;
}

AddWatchResult FolderWatcher::watchListedFolder(const std::string& folder, FolderListing listing)
{
    if (table_.isWatched(folder)) {
        releaseListing(std::move(listing)); // not needed after all
        return AddWatchResult::Added;
    }
    starting_.erase(folder); // the listing makes that start's work needless
    const AddedWatch added = watchAdder_ ? watchAdder_(folder) : reader_.addWatch(folder);
    if (takeWatch(folder, added))
        translator_.folderWatched(folder, std::move(listing));
    else
        releaseListing(std::move(listing));
    return added.result;
}

void FolderWatcher::unwatchFolder(const std::string& folder)
{
    starting_.erase(folder);
    translator_.folderUnwatched(folder);
    if (const auto orphaned = table_.removePath(folder))
        reader_.removeWatch(*orphaned);
}

void FolderWatcher::unwatchTree(const std::string& folder)
{
    std::erase_if(starting_, [&](const auto& start) { return start.first == folder || isBelow(folder, start.first); });
    translator_.treeUnwatched(folder);
    removeKernelWatches(table_.removeTree(folder));
}

void FolderWatcher::unwatchAll()
{
    for (const auto& root : table_.roots())
        unwatchTree(root);
}

void FolderWatcher::rewatchFolder(const std::string& folder)
{
    unwatchTree(folder);
    watchFolder(folder);
}

bool FolderWatcher::processPendingEvents()
{
    WatchEventRead read = reader_.readAvailable(kReadBudget);
    if (read.events.empty() && !translator_.hasHeldMove())
        return false;
    if (read.events.size() > 1)
        pauseReading();
    // A move held at the end of a read that stopped at its budget is settled
    // by the next read, which the kernel's waiting events bring at once.
    handOn(translator_.translate(std::move(read.events), read.moreWaiting ? ReadEnd::MoreWaiting : ReadEnd::QueueDrained));
    if (unsettledBytes_ > 0) {
        unsettledBytes_ -= std::min(unsettledBytes_, read.bytes);
        if (unsettledBytes_ == 0)
            translator_.settleRecords();
    }
    return true;
}

// A change seldom comes alone: once a read brings several, rather than
// waking for each change of the burst, the watcher reads again after a short
// pause, and what came meanwhile is read (and folded) at once. A change on
// its own is read as soon as the kernel queues it.
void FolderWatcher::pauseReading()
{
    if (!notifier_ || burstPause_.isActive())
        return;
    notifier_->setEnabled(false);
    burstPause_.start();
}

void FolderWatcher::readAfterPause()
{
    processPendingEvents();
    if (!burstPause_.isActive())
        notifier_->setEnabled(true); // the burst is over: wake for the next change
}

void FolderWatcher::handOn(TranslatedBatch batch)
{
    removeKernelWatches(batch.watchesToRemove);
    for (const auto& folder : batch.unmountedFolders)
        watchFolder(folder);
    if (batch.overflowed)
        reportOverflow();
    ReportBudget budget;
    if (aliasFolders_ && !batch.changes.empty())
        budget.aliasFolders = aliasFolders_();
    auto changes = coalesceBurst(std::move(batch.changes), budget);
    if (!changes.empty() && sink_)
        sink_(changes);
}

void FolderWatcher::removeKernelWatches(const std::vector<int>& watches)
{
    for (int watch : watches)
        reader_.removeWatch(watch);
}

void FolderWatcher::reportWatchLimit(const std::string& folder)
{
    ReportLiveUpdateProblem(LiveUpdateProblem::WatchLimitReached, watchLimitNotice(watchLimit()));
    if (!reportedUnwatchable_.insert(folder).second)
        return;
    if (sink_)
        sink_({PathChange{SHCNE_UPDATEDIR, folder, {}, true}});
}

void FolderWatcher::reportOverflow()
{
    ReportLiveUpdateProblem(LiveUpdateProblem::EventQueueOverflowed, overflowNotice(maxQueuedEvents()));
}

} // namespace dw::platform
