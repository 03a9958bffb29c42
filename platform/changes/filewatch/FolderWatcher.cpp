// SPDX-License-Identifier: MIT
#include "platform/changes/filewatch/FolderWatcher.h"

#include "platform/changes/LiveUpdateNotice.h"
#include "platform/changes/ShellChangeEvents.h"
#include "platform/changes/filewatch/BurstCoalescer.h"
#include "platform/changes/filewatch/WatchNotices.h"

#include <string>

namespace dw::platform {
FolderWatcher::FolderWatcher(ChangeSink sink, QObject* parent) : QObject(parent), sink_(std::move(sink))
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

AddWatchResult FolderWatcher::watchFolder(const std::string& folder)
{
    return addWatch(folder, std::nullopt);
}

AddWatchResult FolderWatcher::watchListedFolder(const std::string& folder, FolderListing listing)
{
    return addWatch(folder, std::move(listing));
}

AddWatchResult FolderWatcher::addWatch(const std::string& folder, std::optional<FolderListing> listing)
{
    const AddWatchResult result = addKernelWatch(folder, listing);
    if (listing)
        releaseListing(std::move(*listing)); // not needed after all
    return result;
}

// Takes `listing` when the folder's record is made from it.
AddWatchResult FolderWatcher::addKernelWatch(const std::string& folder, std::optional<FolderListing>& listing)
{
    if (table_.isWatched(folder))
        return AddWatchResult::Added;
    const AddedWatch added = watchAdder_ ? watchAdder_(folder) : reader_.addWatch(folder);
    if (added.result == AddWatchResult::Added) {
        table_.add(added.watch, folder);
        if (listing) {
            translator_.folderWatched(folder, std::move(*listing));
            listing.reset();
        } else {
            translator_.folderWatched(folder);
        }
        reportedUnwatchable_.erase(folder);
    } else if (added.result == AddWatchResult::LimitReached) {
        reportWatchLimit(folder);
    }
    return added.result;
}

void FolderWatcher::unwatchFolder(const std::string& folder)
{
    translator_.folderUnwatched(folder);
    if (const auto orphaned = table_.removePath(folder))
        reader_.removeWatch(*orphaned);
}

void FolderWatcher::unwatchTree(const std::string& folder)
{
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
