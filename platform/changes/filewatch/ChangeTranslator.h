// SPDX-License-Identifier: MIT
#pragma once
// Turns the kernel's watch events into the changes a desktop shell reports,
// keeping the table of watched folders in step with renames, moves and
// deletions as it goes.
//
// A rename reaches the kernel's queue as a "moved from" and a "moved to"
// event with one cookie. When both happened inside watched folders they
// become one rename report with both paths; a lone "moved from" is a move
// out (a delete), a lone "moved to" a move in (a create). The kernel queues
// both halves during the rename call itself, so a read that emptied the
// queue holds both or neither, and a lone "moved from" at its end is settled
// at once: holding it would let the reports of later reads overtake it. Only
// when a read stopped at its budget with more events waiting is a "moved
// from" at its very end held back for the next read, which follows at once.
//
// Whether an item is a folder follows the namespace, which shows a symbolic
// link to a folder as a folder: new names are looked at on disk, names that
// went away are taken from the record of watched folders' entries
// (FolderEntries.h). That record also tells when a rename or a move in
// replaced an existing item, which is then reported gone first.

#include "platform/changes/filewatch/FolderEntries.h"
#include "platform/changes/filewatch/PathChange.h"
#include "platform/changes/filewatch/RawWatchEvent.h"
#include "platform/changes/filewatch/WatchTable.h"

#include <optional>
#include <vector>

namespace dw::platform {

struct TranslatedBatch {
    std::vector<PathChange> changes;
    std::vector<int> watchesToRemove; // watches that no longer stand for a folder
    // Watched folders whose watch ended because their volume was unmounted:
    // the folder under the mount point is there again and wants a watch.
    std::vector<std::string> unmountedFolders;
    bool overflowed = false; // the kernel dropped events
};

// How a read of the kernel's queue ended.
enum class ReadEnd { QueueDrained, MoreWaiting };

class ChangeTranslator {
public:
    explicit ChangeTranslator(WatchTable& table) : table_(table) {}

    TranslatedBatch translate(std::vector<RawWatchEvent> events, ReadEnd end = ReadEnd::QueueDrained);

    // Keeps the record of entries of the folders being watched.
    void folderWatched(const std::string& folder, FolderListing listing) { entries_.assign(folder, std::move(listing)); }
    void folderWatched(const std::string& folder, std::uint64_t listingTicket) { entries_.await(folder, listingTicket); }
    void listingRead(std::uint64_t ticket, FolderListing listing) { entries_.listingRead(ticket, std::move(listing)); }
    void settleRecords() { entries_.settle(); }
    void folderUnwatched(const std::string& folder) { entries_.forget(folder); }
    void treeUnwatched(const std::string& folder) { entries_.forgetTree(folder); }

    bool hasHeldMove() const { return heldMove_.has_value(); }

private:
    void translateOne(const std::vector<RawWatchEvent>& events, std::size_t index, std::vector<bool>& consumed,
                      TranslatedBatch& batch);
    void translateMoveFrom(const std::vector<RawWatchEvent>& events, std::size_t index,
                           std::vector<bool>& consumed, TranslatedBatch& batch);
    void translateSelfEvent(const RawWatchEvent& event, TranslatedBatch& batch);
    void reportOverflow(TranslatedBatch& batch) const;
    void moveOut(const std::string& path, bool kernelSaysFolder, TranslatedBatch& batch);
    void arrive(const std::string& parent, const std::string& name, bool kernelSaysFolder, bool mayReplace,
                TranslatedBatch& batch);
    void reportGone(const std::string& path, EntryKind kind, TranslatedBatch& batch);
    EntryKind knownKind(const std::string& path, bool kernelSaysFolder) const;
    void forgetTree(const std::string& path, TranslatedBatch& batch);

    WatchTable& table_;
    FolderEntries entries_;
    std::optional<RawWatchEvent> heldMove_;
    bool mayHoldTrailingMove_ = false; // while translating a read that stopped at its budget
};

} // namespace dw::platform
