// SPDX-License-Identifier: MIT
#pragma once
// One child of a listed folder, as a plain value: everything a view shows
// of it, read on a worker thread and copied to the thread that shows it. A
// record holds no live objects but the (thread-safe) folder it came from.

#include "platform/namespace/ShellFolder.h"

#include <memory>
#include <optional>
#include <string>

namespace dw::platform {

// An id list several records and threads may share; it never changes.
using SharedIdList = std::shared_ptr<const ItemIdList>;
SharedIdList shareIdList(IdListPtr list);
// `first` followed by `second`, in one allocation.
SharedIdList combineShared(const ItemIdList* first, const ItemIdList* second);

struct ChildRecord {
    SharedIdList absolute;      // from the desktop to the child
    ShellFolderPtr parent;      // the listed folder
    std::string displayName;
    std::string parsingName;
    SfgaoFlags attributes = 0;  // the bits of knownAttributes the child has
    SfgaoFlags knownAttributes = 0; // what the listing asked: kind bits always
    EntryType type = EntryType::Unknown;
    int iconIndex = -1;
    int openIconIndex = -1;
    int overlayIndex = -1;      // 0 shared, 1 link, -1 none
    bool hasChildren = false;   // a tree shows an expand button
    int childrenError = 0;      // errno of opening the child, when it was opened
    std::optional<ChildSortKey> sortKey;
    std::optional<ChildFileFacts> file;
    // A file's type as its name tells it (fileTypeDescription), when the
    // listing was asked for type names; -1 otherwise and for folders.
    int typeIndex = -1;

    // The child's own id, relative to `parent` (the last id of `absolute`).
    const ItemIdList* relative() const { return ILFindLastID(absolute.get()); }
};

// Sibling order: the records' keys when both have one, else `desktop`'s
// CompareIDs on the absolute lists (column 0, low 16 bits as a signed
// number). Negative when `first` comes first.
int compareSiblings(const ChildRecord& first, const ChildRecord& second, IShellFolder& desktop);

} // namespace dw::platform
