// SPDX-License-Identifier: MIT
// The controller's enumeration: the children of a folder become items of
// the linked control. It reads them through the listing producer, on the
// calling thread (a view that must not wait uses the producer itself and
// makes its items from the same records, see StShellItem::FillFromRecord).

#include "shell/controller/StShellController.h"

#include "platform/listing/ListingProducer.h"
#include "platform/namespace/IdRecord.h"
#include "platform/namespace/ShellNamespace.h"

using namespace dw::platform;

namespace {

// The attributes every enumerated child is asked (0x60020000), the tree's
// has-subfolders bit, and what the controls look at while drawing.
constexpr SfgaoFlags kChildAttributes = SFGAO_FILESYSTEM | SFGAO_FOLDER | SFGAO_SHARE;
constexpr SfgaoFlags kDrawnAttributes = SFGAO_LINK | SFGAO_HIDDEN | SFGAO_COMPRESSED | SFGAO_CANRENAME;
// What a file list's drags, drops, Delete key and menu look at.
constexpr SfgaoFlags kHandledAttributes = SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK | SFGAO_CANDELETE
    | SFGAO_DROPTARGET | SFGAO_READONLY;
// A tree opens at most this many children of a folder to decide their
// expand buttons; the rest show one until they are opened.
constexpr std::size_t kTreeProbeLimit = 1000;

IdListPtr ParentListOf(const ItemIdList* absolute)
{
    IdListPtr parent(ILClone(absolute));
    if (parent && !ILRemoveLastID(parent.get()))
        return nullptr;
    return parent;
}

bool IsFileSystemFolder(const ItemIdList* absolute)
{
    const ShellFolderPtr parent = bindToParent(absolute);
    SfgaoFlags attributes = SFGAO_FILESYSTEM;
    return parent && succeeded(parent->GetAttributesOf({ILFindLastID(absolute)}, attributes))
        && (attributes & SFGAO_FILESYSTEM);
}

} // namespace

struct TStCustomShellController::EnumerationSource {
    ShellFolderPtr folder;   // the folder whose children are read
    IdListPtr folderList;    // its absolute list
};

// Finds the folder to read as the item construction does: through the
// parent of `absolute`, else through the desktop, else the desktop itself.
TStCustomShellController::EnumerationSource
TStCustomShellController::FindEnumerationSource(const ItemIdList* absolute) const
{
    EnumerationSource source;
    if (!m_desktopFolder)
        return source;
    source.folderList.reset(ILClone(absolute));
    const IdListPtr parentList = ParentListOf(absolute);
    ShellFolderPtr parent = parentList ? Bind(*m_desktopFolder, parentList.get()) : nullptr;
    if (parent) {
        source.folder = Bind(*parent, ILFindLastID(absolute));
        return source;
    }
    source.folder = Bind(*m_desktopFolder, absolute);
    if (!source.folder) {
        source.folder = m_desktopFolder;
        source.folderList = emptyIdList();
    }
    return source;
}

ShcontfFlags TStCustomShellController::EnumerationFlags(TStEnumerationMode mode) const
{
    switch (mode) {
    case TStEnumerationMode::Tree: {
        ShcontfFlags flags = SHCONTF_FOLDERS;
        if (m_treeControl && m_treeControl->ShowFiles())
            flags |= SHCONTF_NONFOLDERS;
        if (m_treeControl && m_treeControl->ShowHidden())
            flags |= SHCONTF_INCLUDEHIDDEN;
        return flags;
    }
    case TStEnumerationMode::FileList:
        return SHCONTF_FOLDERS | SHCONTF_NONFOLDERS
            | (m_listView && m_listView->ShowHidden() ? SHCONTF_INCLUDEHIDDEN : 0);
    case TStEnumerationMode::FolderCombo:
        break;
    }
    return SHCONTF_FOLDERS;
}

ListingRequest TStCustomShellController::TreeListingRequest(const ItemIdList* folder) const
{
    ListingRequest request;
    request.folder = shareIdList(IdListPtr(ILClone(folder)));
    request.flags = EnumerationFlags(TStEnumerationMode::Tree);
    request.attributes = kChildAttributes | kDrawnAttributes | SFGAO_HASSUBFOLDER;
    request.probeChildren = true;
    request.probeLimit = kTreeProbeLimit;
    return request;
}

ListingRequest TStCustomShellController::FileListRequest(const ItemIdList* folder) const
{
    ListingRequest request;
    request.folder = shareIdList(IdListPtr(ILClone(folder)));
    request.flags = EnumerationFlags(TStEnumerationMode::FileList);
    request.attributes = kChildAttributes | kDrawnAttributes | kHandledAttributes;
    request.fileFacts = true;
    request.typeNames = true;
    request.sortedBatches = true;
    return request;
}

void TStCustomShellController::Enumerate(const ItemIdList* absolute, TStEnumerationMode mode)
{
    Enumerate(absolute, mode, m_treeNode);
}

void TStCustomShellController::Enumerate(const ItemIdList* absolute, TStEnumerationMode mode, TStTreeNodeHandle node)
{
    EnumerationSource source = FindEnumerationSource(absolute);
    if (!source.folder || !source.folderList)
        return;
    ListingRequest request = TreeListingRequest(source.folderList.get());
    request.boundFolder = source.folder;
    request.flags = EnumerationFlags(mode);
    request.probeChildren = mode == TStEnumerationMode::Tree;
    request.probeLimit = static_cast<std::size_t>(-1); // every child, as the enumeration always did
    request.icons = mode != TStEnumerationMode::FileList; // a file list asks for icons as it draws

    const bool animate = mode == TStEnumerationMode::FileList && m_listView && !m_searchAnimation
        && !IsFileSystemFolder(source.folderList.get());
    if (animate) {
        m_searchAnimation = true;
        m_listView->StartSearchAnimation();
    }
    ListingProducer::listNow(request, [&](ListingBatch&& batch) {
        if (!batch.records.empty())
            StopSearchAnimation();
        for (const ChildRecord& record : batch.records)
            AddChild(record, mode, node);
    });
    StopSearchAnimation();
}

void TStCustomShellController::StopSearchAnimation()
{
    if (m_searchAnimation) {
        m_searchAnimation = false;
        m_listView->StopSearchAnimation();
    }
}

void TStCustomShellController::AddChild(const ChildRecord& record, TStEnumerationMode mode, TStTreeNodeHandle node)
{
    switch (mode) {
    case TStEnumerationMode::Tree:
        AddTreeChild(MakeChild<TStShellFolder>(record), record, node);
        break;
    case TStEnumerationMode::FileList:
        AddListChild(MakeChild<TStShellItem>(record));
        break;
    case TStEnumerationMode::FolderCombo:
        AddComboChild(MakeChild<TStShellFolder>(record));
        break;
    }
}

template <typename Item>
std::unique_ptr<Item> TStCustomShellController::MakeChild(const ChildRecord& record)
{
    auto item = std::make_unique<Item>(this);
    item->FillFromRecord(record);
    return item;
}

void TStCustomShellController::AddListChild(std::unique_ptr<TStShellItem> item)
{
    if (m_listView)
        m_listView->AddItem(std::move(item));
    else
        m_itemList->Add(std::move(item));
}

void TStCustomShellController::AddComboChild(std::unique_ptr<TStShellFolder> folder)
{
    folder->GetIconIndex();
    if (m_listControl)
        m_listControl->AddFolder(std::move(folder));
}

void TStCustomShellController::AddTreeChild(std::unique_ptr<TStShellFolder> folder, const ChildRecord& record,
                                            TStTreeNodeHandle node)
{
    if (!m_treeControl)
        return; // no list accepts it: freed
    bool accept = true;
    if (m_treeControl->HasFilterHook())
        m_treeControl->FilterItem(*folder, accept);
    if (!accept)
        return;
    TStNodeImages images;
    images.imageIndex = folder->GetIconIndex();
    images.selectedIndex = folder->GetOpenIconIndex();
    // The listing answered shared (0), link (1) or neither (-1) already.
    images.overlay = folder->GetOverlayIndex();
    const std::string text = folder->GetDisplayName();
    TStTreeNodeHandle child = m_treeControl->AddChildNode(node, text, std::move(folder), images);
    if (record.hasChildren)
        m_treeControl->MarkHasChildren(child);
}
