// SPDX-License-Identifier: MIT
#pragma once
// What a notification component remembers of the reports it dropped over
// its queue limit, so that its owner can read again what they concerned
// once the burst is over: how many, and the folders whose listings they
// changed, as absolute id lists, each once.
//
// The folder of an item report is the parent folder of each of its items (a
// volume's is Computer); that of a folder update is the folder itself, whose
// contents changed. A machine-wide report (associations, images) or one
// without lists concerns everything, and so do more than kMaxFolders
// folders: then the record says "everything" and keeps no list. A free-space
// report changes no listing and is only counted.

#include "platform/idlist/IdList.h"

#include <cstddef>
#include <vector>

using TStItemIdLists = std::vector<dw::platform::IdListPtr>;

class TStDroppedReports {
public:
    static constexpr std::size_t kMaxFolders = 64;

    void Note(const dw::platform::ItemIdList* item1, const dw::platform::ItemIdList* item2, long eventBits);

    bool IsEmpty() const { return count_ == 0; }
    std::size_t Count() const { return count_; }
    const TStItemIdLists& Folders() const { return folders_; }
    bool All() const { return all_; }

private:
    void NoteFolder(dw::platform::IdListPtr folder);

    std::size_t count_ = 0;
    TStItemIdLists folders_;
    bool all_ = false;
};
