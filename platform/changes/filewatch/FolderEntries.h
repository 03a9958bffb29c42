// SPDX-License-Identifier: MIT
#pragma once
// What each watched folder holds, by name and kind, as far as its listing
// when it was first watched and the changes since tell.
//
// The kernel's events miss two things a view needs: an event about a
// symbolic link carries the link's own kind, while the namespace shows a
// link to a folder as a folder (and once the link is gone nothing tells
// what it pointed to); and a rename onto an existing name says nothing of
// the item it replaced. This record answers both.

#include "platform/changes/FolderListing.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_set>

namespace dw::platform {

// The kind of what is at `path` now, following a symbolic link; nothing
// when it is gone.
std::optional<EntryKind> entryKindAt(const std::string& path);

// Reads `folder` now; nothing when it cannot be read.
std::optional<FolderListing> listFolder(const std::string& folder);

class FolderEntries {
public:
    // Starts a record of `folder` whose listing is being read on another
    // thread under `ticket`: until it comes, the record knows only the
    // changes seen since.
    void await(const std::string& folder, std::uint64_t ticket);
    // Completes the record that awaits `ticket` with `listing`, the changes
    // seen meanwhile applied over it; a record forgotten meanwhile stays so.
    // The listing may already hold what changes still queued will tell: the
    // record is unsettled until settle(), and meanwhile answers only for
    // names changes told (a name the listing held may be one they bring).
    void listingRead(std::uint64_t ticket, FolderListing listing);
    void settle();
    // Records a listing made just before (on another thread).
    void assign(const std::string& folder, FolderListing entries);
    void forget(const std::string& folder);
    // Forgets `folder` and every folder recorded below it.
    void forgetTree(const std::string& folder);
    // Moves the records of `from` and below to `to`.
    void renameTree(const std::string& from, const std::string& to);

    std::optional<EntryKind> kindOf(const std::string& path) const;

    // These only touch recorded folders.
    void set(const std::string& path, EntryKind kind);
    void set(const std::string& folder, const std::string& name, EntryKind kind);
    void erase(const std::string& path);

private:
    struct Record {
        FolderListing entries;
        // While the listing is awaited: names seen to go since it began.
        std::unordered_set<std::string> gone;
        std::uint64_t awaitedTicket = 0; // 0: complete
        bool unsettled = false;
        std::unordered_set<std::string> setSince; // while unsettled: names changes told
    };
    static void release(Record& record);

    std::map<std::string, Record> entriesOf_;
};

} // namespace dw::platform
