// SPDX-License-Identifier: MIT
#include "platform/changes/filewatch/ChangeTranslator.h"

#include "platform/changes/ShellChangeEvents.h"

#include <sys/inotify.h>

namespace dw::platform {
namespace {

bool isFolderEvent(const RawWatchEvent& event)
{
    return (event.mask & IN_ISDIR) != 0;
}

std::optional<std::size_t> findMoveTo(const std::vector<RawWatchEvent>& events, std::size_t from,
                                      const std::vector<bool>& consumed)
{
    const std::uint32_t cookie = events[from].cookie;
    for (std::size_t i = from + 1; i < events.size(); ++i) {
        if (!consumed[i] && (events[i].mask & IN_MOVED_TO) != 0 && events[i].cookie == cookie)
            return i;
    }
    return std::nullopt;
}

} // namespace

TranslatedBatch ChangeTranslator::translate(std::vector<RawWatchEvent> events, ReadEnd end)
{
    if (heldMove_) {
        events.insert(events.begin(), std::move(*heldMove_));
        heldMove_.reset();
    }
    mayHoldTrailingMove_ = end == ReadEnd::MoreWaiting;
    TranslatedBatch batch;
    std::vector<bool> consumed(events.size(), false);
    for (std::size_t i = 0; i < events.size(); ++i) {
        if (!consumed[i])
            translateOne(events, i, consumed, batch);
    }
    return batch;
}

void ChangeTranslator::translateOne(const std::vector<RawWatchEvent>& events, std::size_t index,
                                    std::vector<bool>& consumed, TranslatedBatch& batch)
{
    const RawWatchEvent& event = events[index];
    if ((event.mask & IN_Q_OVERFLOW) != 0) {
        batch.overflowed = true;
        reportOverflow(batch);
        return;
    }
    if ((event.mask & IN_IGNORED) != 0) {
        for (const auto& path : table_.pathsOf(event.watch))
            entries_.forget(path);
        table_.removeWatch(event.watch);
        return;
    }
    if (event.name.empty()) {
        translateSelfEvent(event, batch);
        return;
    }
    if ((event.mask & IN_MOVED_FROM) != 0) {
        translateMoveFrom(events, index, consumed, batch);
        return;
    }
    const bool kernelSaysFolder = isFolderEvent(event);
    // Copied: a deletion below changes the table while we walk the paths.
    for (const auto& parent : std::vector<std::string>(table_.pathsOf(event.watch))) {
        if ((event.mask & (IN_CREATE | IN_MOVED_TO)) != 0) {
            arrive(parent, event.name, kernelSaysFolder, (event.mask & IN_MOVED_TO) != 0, batch);
            continue;
        }
        const std::string path = childPath(parent, event.name);
        if ((event.mask & IN_DELETE) != 0) {
            const EntryKind kind = knownKind(path, kernelSaysFolder);
            entries_.erase(path);
            reportGone(path, kind, batch);
        } else if ((event.mask & IN_MODIFY) != 0 && !kernelSaysFolder) {
            batch.changes.push_back({SHCNE_UPDATEITEM, path, {}, false});
        } else if ((event.mask & IN_ATTRIB) != 0) {
            batch.changes.push_back({SHCNE_ATTRIBUTES, path, {}, isFolderKind(knownKind(path, kernelSaysFolder))});
        }
    }
}

void ChangeTranslator::translateMoveFrom(const std::vector<RawWatchEvent>& events, std::size_t index,
                                         std::vector<bool>& consumed, TranslatedBatch& batch)
{
    const RawWatchEvent& from = events[index];
    const auto to = findMoveTo(events, index, consumed);
    if (!to && index + 1 == events.size() && mayHoldTrailingMove_) {
        heldMove_ = from;
        return;
    }
    const auto fromFolders = std::vector<std::string>(table_.pathsOf(from.watch));
    if (!to) {
        for (const auto& parent : fromFolders)
            moveOut(childPath(parent, from.name), isFolderEvent(from), batch);
        return;
    }
    consumed[*to] = true;
    const RawWatchEvent& arrival = events[*to];
    const auto& toFolders = table_.pathsOf(arrival.watch);
    if (fromFolders.empty() || toFolders.empty())
        return;
    const std::string oldPath = childPath(fromFolders.front(), from.name);
    const std::string newPath = childPath(toFolders.front(), arrival.name);
    const EntryKind oldKind = knownKind(oldPath, isFolderEvent(from));
    const EntryKind kind = isFolderEvent(from) ? EntryKind::Folder : entryKindAt(newPath).value_or(oldKind);
    if (const auto replaced = entries_.kindOf(newPath); replaced || table_.isWatched(newPath))
        reportGone(newPath, replaced.value_or(EntryKind::Folder), batch);
    const bool folder = isFolderKind(kind);
    batch.changes.push_back({folder ? SHCNE_RENAMEFOLDER : SHCNE_RENAMEITEM, oldPath, newPath, folder});
    entries_.erase(oldPath);
    entries_.set(newPath, kind);
    if (isFolderKind(oldKind)) {
        table_.renameTree(oldPath, newPath);
        entries_.renameTree(oldPath, newPath);
    }
}

void ChangeTranslator::translateSelfEvent(const RawWatchEvent& event, TranslatedBatch& batch)
{
    for (const auto& path : std::vector<std::string>(table_.pathsOf(event.watch))) {
        // Below a watched parent, the parent's own events tell these changes.
        if (!table_.isRoot(path))
            continue;
        if ((event.mask & IN_ATTRIB) != 0) {
            batch.changes.push_back({SHCNE_ATTRIBUTES, path, {}, true});
        } else if ((event.mask & IN_DELETE_SELF) != 0) {
            batch.changes.push_back({SHCNE_RMDIR, path, {}, true});
            entries_.forgetTree(path);
        } else if ((event.mask & IN_MOVE_SELF) != 0) {
            // Moved away to a place we cannot name: gone from where it was.
            reportGone(path, EntryKind::Folder, batch);
        }
    }
    if ((event.mask & IN_UNMOUNT) != 0) {
        const auto& paths = table_.pathsOf(event.watch);
        batch.unmountedFolders.insert(batch.unmountedFolders.end(), paths.begin(), paths.end());
        for (const auto& path : paths)
            entries_.forget(path);
        table_.removeWatch(event.watch);
    }
}

void ChangeTranslator::reportOverflow(TranslatedBatch& batch) const
{
    for (const auto& root : table_.roots())
        batch.changes.push_back({SHCNE_UPDATEDIR, root, {}, true});
}

void ChangeTranslator::moveOut(const std::string& path, bool kernelSaysFolder, TranslatedBatch& batch)
{
    const EntryKind kind = knownKind(path, kernelSaysFolder);
    entries_.erase(path);
    reportGone(path, kind, batch);
}

// A name that came in over an existing one (a move in; a create cannot)
// replaced that item, which the owner must first hear is gone.
void ChangeTranslator::arrive(const std::string& parent, const std::string& name, bool kernelSaysFolder,
                              bool mayReplace, TranslatedBatch& batch)
{
    const std::string path = childPath(parent, name);
    if (mayReplace) {
        if (const auto replaced = entries_.kindOf(path); replaced || table_.isWatched(path))
            reportGone(path, replaced.value_or(EntryKind::Folder), batch);
    }
    const EntryKind kind =
        kernelSaysFolder ? EntryKind::Folder : entryKindAt(path).value_or(EntryKind::File);
    entries_.set(parent, name, kind);
    const bool folder = isFolderKind(kind);
    batch.changes.push_back({folder ? SHCNE_MKDIR : SHCNE_CREATE, path, {}, folder});
}

void ChangeTranslator::reportGone(const std::string& path, EntryKind kind, TranslatedBatch& batch)
{
    const bool folder = isFolderKind(kind);
    batch.changes.push_back({folder ? SHCNE_RMDIR : SHCNE_DELETE, path, {}, folder});
    if (folder)
        forgetTree(path, batch);
}

void ChangeTranslator::forgetTree(const std::string& path, TranslatedBatch& batch)
{
    const auto orphaned = table_.removeTree(path);
    batch.watchesToRemove.insert(batch.watchesToRemove.end(), orphaned.begin(), orphaned.end());
    entries_.forgetTree(path);
}

// A watched path is a folder whatever the kernel says (a link to a folder
// that was opened); otherwise the record knows links, and the kernel the rest.
EntryKind ChangeTranslator::knownKind(const std::string& path, bool kernelSaysFolder) const
{
    if (kernelSaysFolder || table_.isWatched(path))
        return EntryKind::Folder;
    return entries_.kindOf(path).value_or(EntryKind::File);
}

} // namespace dw::platform
