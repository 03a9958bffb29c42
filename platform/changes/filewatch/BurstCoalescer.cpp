// SPDX-License-Identifier: MIT
#include "platform/changes/filewatch/BurstCoalescer.h"

#include "platform/changes/ShellChangeEvents.h"

#include <algorithm>
#include <map>
#include <unordered_map>
#include <unordered_set>

namespace dw::platform {
namespace {

using FolderSet = std::unordered_set<std::string>;

bool isRepeatable(long eventId)
{
    return eventId == SHCNE_UPDATEITEM || eventId == SHCNE_ATTRIBUTES;
}

bool isAtOrBelow(const std::string& folder, const std::string& path)
{
    return path == folder || isBelow(folder, path);
}

std::size_t reportsOf(const PathChange& change, const ReportBudget& budget)
{
    std::size_t reports = 1;
    for (const auto& alias : budget.aliasFolders) {
        if (isAtOrBelow(alias, change.path1) || (!change.path2.empty() && isAtOrBelow(alias, change.path2)))
            ++reports;
    }
    return reports;
}

// The folders whose contents a change alters: the item's folder and, for a
// move, the folder it went to. None for a folder update (it cannot get any
// smaller) or for the root itself.
std::vector<std::string> foldersOf(const PathChange& change)
{
    if (change.eventId == SHCNE_UPDATEDIR)
        return {};
    std::string from = parentPath(change.path1);
    if (from.empty())
        return {};
    std::vector<std::string> folders{from};
    if (!change.path2.empty()) {
        std::string to = parentPath(change.path2);
        if (to.empty())
            return {};
        if (to != from)
            folders.push_back(std::move(to));
    }
    return folders;
}

PathChange folderUpdate(const std::string& folder)
{
    return {SHCNE_UPDATEDIR, folder, {}, true};
}

std::vector<PathChange> dropRepeats(std::vector<PathChange> changes)
{
    std::unordered_map<std::string, long> lastEventOfPath;
    std::vector<PathChange> kept;
    kept.reserve(changes.size());
    for (auto& change : changes) {
        const auto last = lastEventOfPath.find(change.path1);
        const bool repeat = last != lastEventOfPath.end() && last->second == change.eventId;
        lastEventOfPath[change.path1] = change.eventId;
        if (!change.path2.empty())
            lastEventOfPath[change.path2] = change.eventId;
        if (!(repeat && isRepeatable(change.eventId)))
            kept.push_back(std::move(change));
    }
    return kept;
}

// Attribute reports are handled at once, ahead of any report still waiting,
// so one about an item created in the same read would reach the owner before
// the item does; the creation report shows its attributes anyway.
std::vector<PathChange> dropAttributesOfNewItems(std::vector<PathChange> changes)
{
    std::unordered_set<std::string> created;
    std::vector<PathChange> kept;
    kept.reserve(changes.size());
    for (auto& change : changes) {
        if (change.eventId == SHCNE_CREATE || change.eventId == SHCNE_MKDIR)
            created.insert(change.path1);
        else if (change.eventId == SHCNE_RENAMEITEM || change.eventId == SHCNE_RENAMEFOLDER)
            created.insert(change.path2);
        else if (change.eventId == SHCNE_ATTRIBUTES && created.count(change.path1) != 0)
            continue;
        kept.push_back(std::move(change));
    }
    return kept;
}

// Folds the folders that save the most reports until the read fits the
// budget (or nothing more can be saved).
FolderSet chooseFoldersToFold(const std::vector<PathChange>& changes, const ReportBudget& budget)
{
    std::size_t total = 0;
    std::map<std::string, std::size_t> reportsInFolder;
    for (const auto& change : changes) {
        const std::size_t reports = reportsOf(change, budget);
        total += reports;
        const auto folders = foldersOf(change);
        if (folders.size() == 1)
            reportsInFolder[folders.front()] += reports;
    }
    FolderSet folded;
    if (total <= budget.maxReports)
        return folded;
    std::vector<std::pair<std::size_t, std::string>> savings;
    for (const auto& [folder, reports] : reportsInFolder) {
        const std::size_t update = reportsOf(folderUpdate(folder), budget);
        if (reports > update)
            savings.emplace_back(reports - update, folder);
    }
    std::stable_sort(savings.begin(), savings.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (const auto& [saved, folder] : savings) {
        if (total <= budget.maxReports)
            break;
        folded.insert(folder);
        total -= saved;
    }
    return folded;
}

// A move touching a folded folder folds into both of its folders, which can
// bring further moves in.
void foldMovesOfFoldedFolders(const std::vector<PathChange>& changes, FolderSet& folded)
{
    std::unordered_map<std::string, std::vector<std::string>> movePartners;
    for (const auto& change : changes) {
        const auto folders = foldersOf(change);
        if (folders.size() == 2) {
            movePartners[folders[0]].push_back(folders[1]);
            movePartners[folders[1]].push_back(folders[0]);
        }
    }
    std::vector<std::string> pending(folded.begin(), folded.end());
    while (!pending.empty()) {
        const std::string folder = std::move(pending.back());
        pending.pop_back();
        for (const auto& partner : movePartners[folder]) {
            if (folded.insert(partner).second)
                pending.push_back(partner);
        }
    }
}

bool isFolded(const PathChange& change, const FolderSet& folded)
{
    const auto folders = foldersOf(change);
    return !folders.empty() && folded.count(folders.front()) != 0;
}

// Where each folded folder's update goes: at its last change, or earlier,
// before the first kept change that names the folder or something inside.
std::vector<std::vector<std::string>> placeFolderUpdates(const std::vector<PathChange>& changes,
                                                         const FolderSet& folded)
{
    std::unordered_map<std::string, std::size_t> placeOfFolder;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        if (isFolded(changes[i], folded)) {
            for (const auto& folder : foldersOf(changes[i]))
                placeOfFolder[folder] = i;
        }
    }
    for (std::size_t i = 0; i < changes.size(); ++i) {
        if (isFolded(changes[i], folded))
            continue;
        for (const std::string* path : {&changes[i].path1, &changes[i].path2}) {
            for (std::string at = *path; !at.empty(); at = parentPath(at)) {
                const auto place = placeOfFolder.find(at);
                if (place != placeOfFolder.end())
                    place->second = std::min(place->second, i);
            }
        }
    }
    std::vector<std::vector<std::string>> updatesAt(changes.size());
    for (const auto& [folder, place] : placeOfFolder)
        updatesAt[place].push_back(folder);
    for (auto& updates : updatesAt)
        std::sort(updates.begin(), updates.end());
    return updatesAt;
}

std::vector<PathChange> foldBusyFolders(std::vector<PathChange> changes, const ReportBudget& budget)
{
    FolderSet folded = chooseFoldersToFold(changes, budget);
    if (folded.empty())
        return changes;
    foldMovesOfFoldedFolders(changes, folded);
    const auto updatesAt = placeFolderUpdates(changes, folded);
    std::vector<PathChange> kept;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        for (const auto& folder : updatesAt[i])
            kept.push_back(folderUpdate(folder));
        if (!isFolded(changes[i], folded))
            kept.push_back(std::move(changes[i]));
    }
    return kept;
}

// The first update of a folder already makes the owner read it as it is
// after the whole read, so later ones add nothing.
std::vector<PathChange> keepFirstFolderUpdate(std::vector<PathChange> changes)
{
    std::unordered_set<std::string> seen;
    std::vector<PathChange> kept;
    kept.reserve(changes.size());
    for (auto& change : changes) {
        if (change.eventId == SHCNE_UPDATEDIR && !seen.insert(change.path1).second)
            continue;
        kept.push_back(std::move(change));
    }
    return kept;
}

} // namespace

std::vector<PathChange> coalesceBurst(std::vector<PathChange> changes, const ReportBudget& budget)
{
    return keepFirstFolderUpdate(
        foldBusyFolders(dropAttributesOfNewItems(dropRepeats(std::move(changes))), budget));
}

} // namespace dw::platform
