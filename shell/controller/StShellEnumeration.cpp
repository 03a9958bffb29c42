#include "shell/controller/StShellController.h"

#include "platform/namespace/ShellNamespace.h"

using namespace dw::platform;

namespace {

constexpr SfgaoFlags kChildAttributes = SFGAO_FILESYSTEM | SFGAO_FOLDER | SFGAO_SHARE; // 0x60020000

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

bool IsDriveNotToProbe(DriveType type)
{
    return type == DriveType::Removable || type == DriveType::NoRootDir || type == DriveType::CdRom
        || type == DriveType::Remote;
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
        source.folderList.reset(ILClone(ILFindLastID(absolute))); // the empty list
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

void TStCustomShellController::Enumerate(const ItemIdList* absolute, TStEnumerationMode mode)
{
    EnumerationSource source = FindEnumerationSource(absolute);
    std::unique_ptr<IEnumIdList> enumerator;
    if (!source.folder || !source.folderList || failed(source.folder->EnumObjects(EnumerationFlags(mode), enumerator)))
        return;

    const bool animate = mode == TStEnumerationMode::FileList && m_listView && !m_searchAnimation
        && !IsFileSystemFolder(source.folderList.get());
    if (animate) {
        m_searchAnimation = true;
        m_listView->StartSearchAnimation();
    }
    auto stopAnimation = [&] {
        if (m_searchAnimation) {
            m_searchAnimation = false;
            m_listView->StopSearchAnimation();
        }
    };

    IdListPtr child;
    while (enumerator->Next(child) == S_OK && child) {
        stopAnimation();
        SfgaoFlags attributes = kChildAttributes | (mode == TStEnumerationMode::Tree ? SFGAO_HASSUBFOLDER : 0);
        if (failed(source.folder->GetAttributesOf({child.get()}, attributes)))
            attributes = 0;
        switch (mode) {
        case TStEnumerationMode::Tree:
            AddTreeChild(MakeChild<TStShellFolder>(source, std::move(child), attributes), attributes);
            break;
        case TStEnumerationMode::FileList:
            AddListChild(MakeChild<TStShellItem>(source, std::move(child), attributes));
            break;
        case TStEnumerationMode::FolderCombo:
            AddComboChild(MakeChild<TStShellFolder>(source, std::move(child), attributes));
            break;
        }
    }
    stopAnimation();
}

// A child filled as the item construction fills it (names, network-name
// cut, file-system flags), with the attributes already asked.
template <typename Item>
std::unique_ptr<Item> TStCustomShellController::MakeChild(const EnumerationSource& source, IdListPtr child,
                                                          SfgaoFlags attributes)
{
    IdListPtr absolute(ILCombine(source.folderList.get(), child.get()));
    auto item = std::make_unique<Item>(this);
    item->FillFromParent(source.folder, std::move(child), std::move(absolute), &attributes);
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

void TStCustomShellController::AddTreeChild(std::unique_ptr<TStShellFolder> folder, SfgaoFlags attributes)
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
    // The icon query answered shared (0), link (1) or neither (-1) already.
    images.overlay = folder->GetOverlayIndex();
    const bool hasChildren = TreeChildHasChildren(*folder, attributes);
    const std::string text = folder->GetDisplayName();
    TStTreeNodeHandle node = m_treeControl->AddChildNode(m_treeNode, text, std::move(folder), images);
    if (hasChildren)
        m_treeControl->MarkHasChildren(node);
}

bool TStCustomShellController::TreeChildHasChildren(TStShellFolder& folder, SfgaoFlags attributes) const
{
    const bool hasSubfolders = (attributes & SFGAO_HASSUBFOLDER) != 0;
    if (hasSubfolders && IsDriveNotToProbe(currentShellNamespace().driveTypeOf(folder.GetAbsoluteIdList())))
        return true;
    const bool showsFiles = m_treeControl->ShowFiles() && (attributes & SFGAO_FOLDER);
    if (!hasSubfolders && !showsFiles)
        return false;
    const ShellFolderPtr bound = Bind(*folder.GetParentFolder(), folder.GetRelativeIdList());
    std::unique_ptr<IEnumIdList> enumerator;
    return bound && succeeded(bound->EnumObjects(SHCONTF_FOLDERS, enumerator)) && enumerator;
}
