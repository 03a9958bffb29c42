// SPDX-License-Identifier: MIT
#pragma once
// What a drop brings: the paths of the items dragged, read from the data of
// any program. Such data is untrusted: a malformed "Shell IDList Array" or
// text/uri-list is refused with a reason, never read past its end, and only
// items of this machine's file system are taken.

#include <string>
#include <vector>

class QMimeData;

struct TStDroppedItems {
    std::vector<std::string> paths; // exact bytes, absolute
    std::string error;              // why nothing can be dropped; empty when paths were found

    bool IsValid() const { return error.empty() && !paths.empty(); }
};

// Reads the "Shell IDList Array" format when it is there, else text/uri-list.
TStDroppedItems DroppedItemsOf(const QMimeData& data);
