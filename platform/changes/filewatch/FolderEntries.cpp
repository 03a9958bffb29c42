// SPDX-License-Identifier: MIT
#include "platform/changes/filewatch/FolderEntries.h"

#include "platform/changes/filewatch/PathChange.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace dw::platform {
namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

// Only links need a look at their target; the listing tells the rest.
EntryKind kindOfListed(const std::string& folder, const dirent& entry)
{
    if (entry.d_type == DT_DIR)
        return EntryKind::Folder;
    if (entry.d_type == DT_LNK || entry.d_type == DT_UNKNOWN)
        return entryKindAt(childPath(folder, entry.d_name)).value_or(EntryKind::File);
    return EntryKind::File;
}

} // namespace

std::optional<EntryKind> entryKindAt(const std::string& path)
{
    struct stat self {};
    if (::lstat(path.c_str(), &self) != 0)
        return std::nullopt;
    if (!S_ISLNK(self.st_mode))
        return S_ISDIR(self.st_mode) ? EntryKind::Folder : EntryKind::File;
    struct stat target {};
    const bool toFolder = ::stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode);
    return toFolder ? EntryKind::FolderLink : EntryKind::File; // dangling links are files
}

std::optional<FolderListing> listFolder(const std::string& folder)
{
    std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir)
        return std::nullopt;
    FolderListing entries;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            entries[name] = kindOfListed(folder, *entry);
    }
    return entries;
}

void FolderEntries::release(Record& record)
{
    releaseListing(std::move(record.entries));
    record = Record{};
}

void FolderEntries::await(const std::string& folder, std::uint64_t ticket)
{
    Record& record = entriesOf_[folder];
    release(record);
    record.awaitedTicket = ticket;
}

void FolderEntries::listingRead(std::uint64_t ticket, FolderListing listing)
{
    const auto awaiting = std::find_if(entriesOf_.begin(), entriesOf_.end(),
                                       [ticket](const auto& entry) { return entry.second.awaitedTicket == ticket; });
    if (awaiting == entriesOf_.end()) {
        releaseListing(std::move(listing));
        return;
    }
    Record& record = awaiting->second;
    // The listing was read after the watch began: what changed since is
    // known better than what the listing saw.
    for (const std::string& name : record.gone)
        listing.erase(name);
    record.setSince.clear();
    for (auto& [name, kind] : record.entries) {
        listing[name] = kind;
        record.setSince.insert(name);
    }
    record.entries.swap(listing);
    record.gone.clear();
    record.awaitedTicket = 0;
    record.unsettled = true;
}

void FolderEntries::settle()
{
    for (auto& [folder, record] : entriesOf_) {
        record.unsettled = false;
        record.setSince.clear();
    }
}

void FolderEntries::assign(const std::string& folder, FolderListing entries)
{
    Record& record = entriesOf_[folder];
    release(record);
    record.entries = std::move(entries);
}

void FolderEntries::forget(const std::string& folder)
{
    if (const auto found = entriesOf_.find(folder); found != entriesOf_.end()) {
        release(found->second);
        entriesOf_.erase(found);
    }
}

void FolderEntries::forgetTree(const std::string& folder)
{
    for (auto it = entriesOf_.lower_bound(folder); it != entriesOf_.end();) {
        if (it->first == folder || isBelow(folder, it->first)) {
            release(it->second);
            it = entriesOf_.erase(it);
        }
        else if (it->first.compare(0, folder.size(), folder) == 0)
            ++it; // a sibling such as "folder2" sorts in between
        else
            break;
    }
}

void FolderEntries::renameTree(const std::string& from, const std::string& to)
{
    if (from == to)
        return;
    std::vector<std::pair<std::string, Record>> moved;
    for (const auto& [folder, record] : entriesOf_) {
        if (folder == from || isBelow(from, folder))
            moved.emplace_back(to + folder.substr(from.size()), record);
    }
    forgetTree(from);
    forgetTree(to);
    for (auto& [folder, record] : moved)
        entriesOf_[folder] = std::move(record);
}

std::optional<EntryKind> FolderEntries::kindOf(const std::string& path) const
{
    const auto folder = entriesOf_.find(parentPath(path));
    if (folder == entriesOf_.end())
        return std::nullopt;
    const std::string name = lastComponent(path);
    const Record& record = folder->second;
    const auto entry = record.entries.find(name);
    if (entry == record.entries.end() || (record.unsettled && record.setSince.count(name) == 0))
        return std::nullopt;
    return entry->second;
}

void FolderEntries::set(const std::string& path, EntryKind kind)
{
    set(parentPath(path), lastComponent(path), kind);
}

void FolderEntries::set(const std::string& folder, const std::string& name, EntryKind kind)
{
    const auto record = entriesOf_.find(folder);
    if (record == entriesOf_.end())
        return;
    record->second.entries[name] = kind;
    record->second.gone.erase(name);
    if (record->second.unsettled)
        record->second.setSince.insert(name);
}

void FolderEntries::erase(const std::string& path)
{
    const auto record = entriesOf_.find(parentPath(path));
    if (record == entriesOf_.end())
        return;
    const std::string name = lastComponent(path);
    record->second.entries.erase(name);
    if (record->second.awaitedTicket != 0)
        record->second.gone.insert(name);
}

} // namespace dw::platform
