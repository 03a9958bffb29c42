// SPDX-License-Identifier: MIT
#include "platform/changes/filewatch/FolderEntries.h"

#include "platform/changes/filewatch/PathChange.h"

#include <dirent.h>
#include <sys/stat.h>

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

void FolderEntries::list(const std::string& folder)
{
    entriesOf_[folder] = listFolder(folder).value_or(FolderListing());
}

void FolderEntries::assign(const std::string& folder, FolderListing entries)
{
    FolderListing& record = entriesOf_[folder];
    releaseListing(std::move(record));
    record = std::move(entries);
}

void FolderEntries::forget(const std::string& folder)
{
    if (const auto found = entriesOf_.find(folder); found != entriesOf_.end()) {
        releaseListing(std::move(found->second));
        entriesOf_.erase(found);
    }
}

void FolderEntries::forgetTree(const std::string& folder)
{
    for (auto it = entriesOf_.lower_bound(folder); it != entriesOf_.end();) {
        if (it->first == folder || isBelow(folder, it->first)) {
            releaseListing(std::move(it->second));
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
    std::vector<std::pair<std::string, FolderListing>> moved;
    for (const auto& [folder, entries] : entriesOf_) {
        if (folder == from || isBelow(from, folder))
            moved.emplace_back(to + folder.substr(from.size()), entries);
    }
    forgetTree(from);
    forgetTree(to);
    for (auto& [folder, entries] : moved)
        entriesOf_[folder] = std::move(entries);
}

std::optional<EntryKind> FolderEntries::kindOf(const std::string& path) const
{
    const auto folder = entriesOf_.find(parentPath(path));
    if (folder == entriesOf_.end())
        return std::nullopt;
    const auto entry = folder->second.find(lastComponent(path));
    if (entry == folder->second.end())
        return std::nullopt;
    return entry->second;
}

void FolderEntries::set(const std::string& path, EntryKind kind)
{
    set(parentPath(path), lastComponent(path), kind);
}

void FolderEntries::set(const std::string& folder, const std::string& name, EntryKind kind)
{
    const auto entries = entriesOf_.find(folder);
    if (entries != entriesOf_.end())
        entries->second[name] = kind;
}

void FolderEntries::erase(const std::string& path)
{
    const auto folder = entriesOf_.find(parentPath(path));
    if (folder != entriesOf_.end())
        folder->second.erase(lastComponent(path));
}

} // namespace dw::platform
