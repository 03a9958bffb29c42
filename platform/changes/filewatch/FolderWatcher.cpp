#include "platform/changes/filewatch/FolderWatcher.h"

#include "platform/changes/LiveUpdateNotice.h"
#include "platform/changes/ShellChangeEvents.h"
#include "platform/changes/filewatch/BurstCoalescer.h"

#include <string>

namespace dw::platform {
namespace {

// How long a "moved from" at the end of a read waits for its "moved to".
constexpr int kHeldMoveWaitMs = 20;

std::string watchLimitNotice()
{
    const long limit = maxUserWatches();
    return "Live updates are incomplete: the system's limit of " + (limit > 0 ? std::to_string(limit) + " " : "")
        + "watched folders was reached, so changes in some folders show only when they are opened again. "
          "To raise the limit, run as root: sysctl fs.inotify.max_user_watches=524288";
}

std::string overflowNotice()
{
    const long limit = maxQueuedEvents();
    return "Live updates are incomplete: more changes happened at once than the system can queue"
        + (limit > 0 ? " (" + std::to_string(limit) + " events)" : std::string())
        + ", so the affected folders were read again. "
          "To raise the limit, run as root: sysctl fs.inotify.max_queued_events=65536";
}

std::string unavailableNotice()
{
    const long limit = maxUserInstances();
    return "Live updates are off: the system refused to watch folders"
        + (limit > 0 ? " (its limit of " + std::to_string(limit) + " watching programs may be reached)" : std::string())
        + ", so changes show only when folders are opened again. "
          "To raise the limit, run as root: sysctl fs.inotify.max_user_instances=1024";
}

} // namespace

FolderWatcher::FolderWatcher(ChangeSink sink, QObject* parent) : QObject(parent), sink_(std::move(sink))
{
    heldMoveTimer_.setSingleShot(true);
    heldMoveTimer_.setInterval(kHeldMoveWaitMs);
    connect(&heldMoveTimer_, &QTimer::timeout, this, [this] { settleHeldMove(); });
    if (!reader_.isOpen()) {
        ReportLiveUpdateProblem(LiveUpdateProblem::WatchingUnavailable, unavailableNotice());
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(reader_.fileDescriptor(), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { processPendingEvents(); });
}

FolderWatcher::~FolderWatcher() = default;

AddWatchResult FolderWatcher::watchFolder(const std::string& folder)
{
    if (table_.isWatched(folder))
        return AddWatchResult::Added;
    const AddedWatch added = watchAdder_ ? watchAdder_(folder) : reader_.addWatch(folder);
    if (added.result == AddWatchResult::Added) {
        table_.add(added.watch, folder);
        translator_.folderWatched(folder);
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

void FolderWatcher::processPendingEvents()
{
    auto events = reader_.readAvailable(kReadBudget);
    if (events.empty() && !translator_.hasHeldMove())
        return;
    handOn(translator_.translate(std::move(events)));
    if (translator_.hasHeldMove())
        heldMoveTimer_.start();
}

void FolderWatcher::settleHeldMove()
{
    auto events = reader_.readAvailable(kReadBudget);
    if (events.empty()) {
        handOn(translator_.flushHeldMove()); // its partner never came: a move out
        return;
    }
    handOn(translator_.translate(std::move(events)));
    if (translator_.hasHeldMove())
        heldMoveTimer_.start();
}

void FolderWatcher::handOn(TranslatedBatch batch)
{
    removeKernelWatches(batch.watchesToRemove);
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
    ReportLiveUpdateProblem(LiveUpdateProblem::WatchLimitReached, watchLimitNotice());
    if (!reportedUnwatchable_.insert(folder).second)
        return;
    if (sink_)
        sink_({PathChange{SHCNE_UPDATEDIR, folder, {}, true}});
}

void FolderWatcher::reportOverflow()
{
    ReportLiveUpdateProblem(LiveUpdateProblem::EventQueueOverflowed, overflowNotice());
}

} // namespace dw::platform
