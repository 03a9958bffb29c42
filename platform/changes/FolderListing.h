// SPDX-License-Identifier: MIT
#pragma once
// What a folder holds, by name and kind: what a listing learned of it, handed
// to the change source so that it need not read the folder again to begin
// watching it.

#include <string>
#include <unordered_map>

namespace dw::platform {

enum class EntryKind { File, Folder, FolderLink };

inline bool isFolderKind(EntryKind kind)
{
    return kind != EntryKind::File;
}

// A folder's entries by name.
using FolderListing = std::unordered_map<std::string, EntryKind>;

// Leaves `listing` empty; a large one is freed off the calling thread.
void releaseListing(FolderListing&& listing);

} // namespace dw::platform
