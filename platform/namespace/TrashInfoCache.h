// SPDX-License-Identifier: MIT
#pragma once
// The names trashed entries are shown under, from their "info/NAME.trashinfo"
// records. A listing of the trash asks for them over and over (every sort
// comparison asks for two), so each record is read at most once per listing:
// a new listing forgets what earlier ones read, and an entry that is
// restored, deleted or trashed anew is forgotten at once. What a verb acts
// on (the place a restore moves an entry back to) is always read afresh.
//
// One cache per trash folder, shared by every folder object that shows it;
// safe to use from several threads.

#include "platform/namespace/NaturalOrder.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace dw::platform {

class FileDescriptor;

// Where the record of a trashed entry is kept.
std::string trashInfoPath(const std::string& trashPath, std::string_view entryName);

// The path an entry was trashed from, read from its record now; empty when
// the record is missing or its path cannot be decoded.
std::string readTrashedFromPath(const std::string& trashPath, std::string_view entryName);

class TrashInfoCache {
public:
    static TrashInfoCache& of(const std::string& trashPath);

    explicit TrashInfoCache(std::string trashPath) : trashPath_(std::move(trashPath)) {}

    // A listing of the trash begins.
    void startListing();
    // The name the entry was trashed under, or its own name in the trash
    // when its record is missing or undecodable.
    std::string shownName(std::string_view entryName);
    // The natural order (NaturalOrder.h) of two entries' shown names.
    int compareShownNames(std::string_view first, std::string_view second);
    void forget(std::string_view entryName);

private:
    // A shown name with its collation key (NaturalOrder.h): sorting compares
    // keys, without looking each name up again.
    struct Shown {
        std::string name;
        NameSortKey key;
    };

    std::string readShownName(std::string_view entryName);
    // Both entries' order when both are known; nothing otherwise.
    std::optional<int> compareKnown(std::string_view first, std::string_view second);

    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>()(name); }
    };

    std::string trashPath_;
    std::mutex mutex_;
    std::unordered_map<std::string, Shown, NameHash, std::equal_to<>> shown_;
    std::shared_ptr<const FileDescriptor> infoFolder_; // of the current listing
};

} // namespace dw::platform
