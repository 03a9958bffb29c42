// SPDX-License-Identifier: MIT
#include "shell/notification/StDroppedReports.h"

#include "platform/changes/ShellChangeEvents.h"

#include <algorithm>

using namespace dw::platform;

namespace {

// The folder holding `item`; the desktop holds itself.
IdListPtr parentFolderOf(const ItemIdList* item)
{
    IdListPtr parent = cloneIdList(item);
    if (parent)
        ILRemoveLastID(parent.get());
    return parent;
}

} // namespace

void TStDroppedReports::Note(const ItemIdList* item1, const ItemIdList* item2, long eventBits)
{
    ++count_;
    if ((eventBits & (SHCNE_ASSOCCHANGED | SHCNE_UPDATEIMAGE)) != 0 || (item1 == nullptr && item2 == nullptr)) {
        if ((eventBits & ~SHCNE_FREESPACE) != 0)
            all_ = true;
        return;
    }
    if ((eventBits & SHCNE_FREESPACE) != 0)
        return; // its list is a drive mask, not an item
    if ((eventBits & SHCNE_UPDATEDIR) != 0)
        NoteFolder(cloneIdList(item1));
    for (const ItemIdList* item : {item1, item2}) {
        if (item != nullptr && (eventBits & ~SHCNE_UPDATEDIR) != 0)
            NoteFolder(parentFolderOf(item));
    }
}

void TStDroppedReports::NoteFolder(IdListPtr folder)
{
    if (all_ || !folder)
        return;
    const bool known = std::any_of(folders_.begin(), folders_.end(),
                                   [&folder](const IdListPtr& kept) { return ILIsEqual(kept.get(), folder.get()); });
    if (known)
        return;
    if (folders_.size() == kMaxFolders) {
        all_ = true;
        folders_.clear();
        return;
    }
    folders_.push_back(std::move(folder));
}
