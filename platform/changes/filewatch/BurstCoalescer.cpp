#include "platform/changes/filewatch/BurstCoalescer.h"

#include "platform/changes/ShellChangeEvents.h"

#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace dw::platform {
namespace {

bool isRepeatable(long eventId)
{
    return eventId == SHCNE_UPDATEITEM || eventId == SHCNE_ATTRIBUTES;
}

// The folder a change belongs to for folding, or nothing when it must stay.
std::optional<std::string> foldingFolder(const PathChange& change)
{
    if (change.eventId == SHCNE_UPDATEDIR)
        return std::nullopt;
    std::string folder = parentPath(change.path1);
    if (folder.empty())
        return std::nullopt;
    if (!change.path2.empty() && parentPath(change.path2) != folder)
        return std::nullopt;
    return folder;
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

std::vector<PathChange> foldBusyFolders(std::vector<PathChange> changes, std::size_t threshold)
{
    std::unordered_map<std::string, std::size_t> countOfFolder;
    std::unordered_map<std::string, std::size_t> lastIndexOfFolder;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        if (const auto folder = foldingFolder(changes[i])) {
            ++countOfFolder[*folder];
            lastIndexOfFolder[*folder] = i;
        }
    }
    std::vector<PathChange> kept;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const auto folder = foldingFolder(changes[i]);
        if (!folder || countOfFolder[*folder] <= threshold) {
            kept.push_back(std::move(changes[i]));
        } else if (lastIndexOfFolder[*folder] == i) {
            kept.push_back({SHCNE_UPDATEDIR, *folder, {}, true});
        }
    }
    return kept;
}

std::vector<PathChange> keepLastFolderUpdate(std::vector<PathChange> changes)
{
    std::unordered_set<std::string> seen;
    std::vector<PathChange> reversed;
    for (auto it = changes.rbegin(); it != changes.rend(); ++it) {
        if (it->eventId == SHCNE_UPDATEDIR && !seen.insert(it->path1).second)
            continue;
        reversed.push_back(std::move(*it));
    }
    return {std::make_move_iterator(reversed.rbegin()), std::make_move_iterator(reversed.rend())};
}

} // namespace

std::vector<PathChange> coalesceBurst(std::vector<PathChange> changes, std::size_t threshold)
{
    return keepLastFolderUpdate(foldBusyFolders(dropRepeats(std::move(changes)), threshold));
}

} // namespace dw::platform
