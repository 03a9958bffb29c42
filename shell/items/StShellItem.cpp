// SPDX-License-Identifier: MIT
#include "shell/items/StShellItem.h"

#include "shell/controller/StShellController.h"
#include "shell/items/StFileDate.h"

#include "platform/namespace/ShellNamespace.h"

using namespace dw::platform;

namespace {

constexpr std::uint32_t kAttributeLetterBits[] = {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM,
                                                   FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_COMPRESSED,
                                                   FILE_ATTRIBUTE_ARCHIVE};
constexpr char kAttributeLetters[] = {'H', 'S', 'R', 'C', 'A'};

std::string NameOf(IShellFolder& folder, const ItemIdList* relative, ShgdnFlags flags)
{
    std::string name;
    if (failed(folder.GetDisplayNameOf(relative, flags, name)))
        name.clear();
    return name;
}

// Two path delimiters start the parsing name of a network share ("//server/share";
// the backslash form is accepted too).
bool IsNetworkPath(const std::string& path)
{
    return path.size() >= 2 && ((path[0] == '/' && path[1] == '/') || (path[0] == '\\' && path[1] == '\\'));
}

} // namespace

TStShellItem::TStShellItem(TStCustomShellController* controller)
{
    AdoptController(controller);
}

TStShellItem::TStShellItem(const ItemIdList* absoluteIdList, TStCustomShellController* controller)
{
    m_absoluteIdList.reset(ILClone(absoluteIdList));
    m_relativeIdList.reset(ILClone(ILFindLastID(absoluteIdList)));
    BindParentFolder();
    AdoptController(controller);
    if (m_parentFolder && m_relativeIdList) {
        m_path = NameOf(*m_parentFolder, m_relativeIdList.get(), SHGDN_FORPARSING);
        m_displayName = NameOf(*m_parentFolder, m_relativeIdList.get(), SHGDN_NORMAL);
        ApplyNetworkNameCut();
        ReadFileSystemFlags(nullptr);
    }
    IdListPtr desktop;
    m_isDesktop = succeeded(SHGetSpecialFolderLocation(CSIDL_DESKTOP, desktop)) && absoluteIdList
        && ILIsEqual(absoluteIdList, desktop.get());
}

TStShellItem::~TStShellItem() = default;

void TStShellItem::AdoptController(TStCustomShellController* controller)
{
    if (controller) {
        m_controller = controller;
        return;
    }
    m_ownedController = std::make_shared<TStCustomShellController>();
    m_controller = m_ownedController.get();
    m_ownsController = true;
}

void TStShellItem::BindParentFolder()
{
    m_parentFolder.reset();
    ShellFolderPtr desktop;
    if (failed(SHGetDesktopFolder(desktop)))
        return;
    IdListPtr parentList(ILClone(m_absoluteIdList.get()));
    if (parentList) {
        ILRemoveLastID(parentList.get());
        ShellFolderPtr bound;
        if (succeeded(desktop->BindToObject(parentList.get(), bound)) && bound)
            m_parentFolder = std::move(bound);
    }
    if (!m_parentFolder)
        m_parentFolder = std::move(desktop);
}

void TStShellItem::FillFromParent(ShellFolderPtr parent, IdListPtr relative, IdListPtr absolute,
                                  const SfgaoFlags* attributes)
{
    m_parentFolder = std::move(parent);
    m_relativeIdList = std::move(relative);
    m_absoluteIdList = std::move(absolute);
    if (!m_parentFolder || !m_relativeIdList)
        return;
    m_path = NameOf(*m_parentFolder, m_relativeIdList.get(), SHGDN_FORPARSING);
    m_displayName = NameOf(*m_parentFolder, m_relativeIdList.get(), SHGDN_NORMAL);
    ApplyNetworkNameCut();
    ReadFileSystemFlags(attributes);
}

void TStShellItem::FillFromRecord(const ChildRecord& record)
{
    m_parentFolder = record.parent;
    m_absoluteIdList.reset(ILClone(record.absolute.get()));
    m_relativeIdList.reset(ILClone(record.relative()));
    m_path = record.parsingName;
    m_displayName = record.displayName;
    ApplyNetworkNameCut();
    const SfgaoFlags kinds = record.attributes & (SFGAO_FILESYSTEM | SFGAO_FOLDER);
    ReadFileSystemFlags(&kinds);
    m_knownAttributeMask = record.knownAttributes;
    m_knownAttributes = record.attributes & record.knownAttributes;
    if (record.iconIndex != -1) {
        m_iconIndex = record.iconIndex;
        m_openIconIndex = record.openIconIndex;
        m_overlayIndex = record.overlayIndex;
    }
    if (record.file && m_isFileSystem)
        TakeFileFacts(*record.file);
}

void TStShellItem::TakeFileFacts(const ChildFileFacts& facts)
{
    FindData data;
    data.attributes = facts.findAttributes;
    data.size = facts.size;
    data.lastWriteSeconds = facts.lastWriteSeconds;
    data.lastWriteNanoseconds = facts.lastWriteNanoseconds;
    TakeFindData(data);
    if (data.attributes & FILE_ATTRIBUTE_DIRECTORY)
        m_size = 0;
    BuildAttributeText();
}

std::string TStShellItem::ShownName(const std::string& path, std::string displayName)
{
    if (IsNetworkPath(path)) {
        const std::size_t at = displayName.find(kNetworkNameSeparator);
        if (at != std::string::npos)
            displayName.erase(at);
    }
    return displayName;
}

void TStShellItem::ApplyNetworkNameCut()
{
    m_displayName = ShownName(m_path, std::move(m_displayName));
}

void TStShellItem::ReadFileSystemFlags(const SfgaoFlags* known)
{
    SfgaoFlags attributes = SFGAO_FILESYSTEM | SFGAO_FOLDER;
    if (known)
        attributes &= *known;
    else if (failed(m_parentFolder->GetAttributesOf({m_relativeIdList.get()}, attributes)))
        attributes = 0;
    m_isFileSystem = (attributes & SFGAO_FILESYSTEM) != 0;
    m_isFileFolder = m_isFileSystem && (attributes & SFGAO_FOLDER) != 0;
    m_isFile = m_isFileSystem && !m_isFileFolder;
}

void TStShellItem::Assign(const TStShellItem& source)
{
    if (&source == this)
        return;
    m_details = source.m_details;
    m_ownedController = source.m_ownedController;
    m_controller = source.m_controller;
    m_ownsController = false;
    m_modified = source.m_modified;
    m_size = source.m_size;
    m_displayName = source.m_displayName;
    m_attributes = source.m_attributes;
    m_attributeText = source.m_attributeText;
    m_iconIndex = source.m_iconIndex;
    m_isDesktop = source.m_isDesktop;
    m_isFile = source.m_isFile;
    m_isFileFolder = source.m_isFileFolder;
    m_isFileSystem = source.m_isFileSystem;
    m_openIconIndex = source.m_openIconIndex;
    m_overlayIndex = source.m_overlayIndex;
    m_path = source.m_path;
    m_absoluteIdList.reset(ILClone(source.m_absoluteIdList.get()));
    m_relativeIdList.reset(ILClone(source.m_relativeIdList.get()));
    m_typeName = source.m_typeName;
    m_fileDate = source.m_fileDate;
    m_ownerList = source.m_ownerList;
    m_knownAttributeMask = source.m_knownAttributeMask;
    m_knownAttributes = source.m_knownAttributes;
    BindParentFolder();
}

bool TStShellItem::AskAttribute(SfgaoFlags bit) const
{
    if (m_knownAttributeMask & bit)
        return (m_knownAttributes & bit) != 0;
    if (!m_parentFolder || !m_relativeIdList)
        return false;
    SfgaoFlags attributes = bit;
    return succeeded(m_parentFolder->GetAttributesOf({m_relativeIdList.get()}, attributes)) && (attributes & bit);
}

bool TStShellItem::CanRename() const
{
    return !m_isDesktop && AskAttribute(SFGAO_CANRENAME);
}

bool TStShellItem::HasSubFolders() const
{
    return !m_isDesktop && AskAttribute(SFGAO_HASSUBFOLDER);
}

bool TStShellItem::IsCompressed() const
{
    return !m_isDesktop && AskAttribute(SFGAO_COMPRESSED);
}

bool TStShellItem::IsHidden() const
{
    return !m_isDesktop && AskAttribute(SFGAO_HIDDEN);
}

bool TStShellItem::IsLink() const
{
    return !m_isDesktop && AskAttribute(SFGAO_LINK);
}

bool TStShellItem::IsShared() const
{
    return m_parentFolder && AskAttribute(SFGAO_SHARE);
}

bool TStShellItem::IsFolder() const
{
    return m_parentFolder && AskAttribute(SFGAO_FOLDER);
}

bool TStShellItem::Execute() const
{
    return ShellExecuteDefaultVerb(m_absoluteIdList.get());
}

int TStShellItem::Compare(const TStShellItem& other) const
{
    if (!m_parentFolder)
        return 0;
    const HResult order = m_parentFolder->CompareIDs(0, m_relativeIdList.get(), other.m_relativeIdList.get());
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

void TStShellItem::ReadIcons()
{
    // Filled at most once: a query that failed leaves -1, and is not asked
    // again by every getter.
    m_iconsRead = true;
    if (!m_controller)
        return;
    if (m_parentFolder && m_relativeIdList) // the parent is at hand: no need to bind it again
        m_controller->GetIconIndices(*m_parentFolder, m_relativeIdList.get(), m_iconIndex, m_openIconIndex,
                                     m_overlayIndex);
    else
        m_controller->GetIconIndices(m_absoluteIdList.get(), m_iconIndex, m_openIconIndex, m_overlayIndex);
}

int TStShellItem::GetIconIndex()
{
    if (m_iconIndex == -1 && !m_iconsRead)
        ReadIcons();
    return m_iconIndex;
}

int TStShellItem::GetOpenIconIndex()
{
    if (m_iconIndex == -1 && !m_iconsRead)
        ReadIcons();
    return m_openIconIndex;
}

int TStShellItem::GetOverlayIndex()
{
    if (m_iconIndex == -1 && !m_iconsRead)
        ReadIcons();
    return m_overlayIndex;
}

void TStShellItem::TakeFindData(const FindData& data)
{
    m_size = static_cast<std::int64_t>(data.size);
    m_attributes = data.attributes;
    m_fileDate = PackedFileDateFromUnixTime(data.lastWriteSeconds);
    m_modified = m_fileDate != 0 ? DateTimeFromPackedFileDate(m_fileDate) : DateTimeFromUnixTime(data.lastWriteSeconds);
}

void TStShellItem::ReadFileDetails()
{
    if (!m_isFileSystem)
        return;
    FindData data;
    if (m_parentFolder && succeeded(SHGetDataFromIDList(*m_parentFolder, m_relativeIdList.get(), data))) {
        TakeFindData(data);
        if (data.attributes & FILE_ATTRIBUTE_DIRECTORY) {
            m_isFileFolder = true;
            m_isFile = false;
            m_size = 0;
        }
    } else if (succeeded(FindFileData(m_path, data))) {
        TakeFindData(data);
    } else {
        m_size = 0;
    }
    BuildAttributeText();
}

void TStShellItem::BuildAttributeText()
{
    m_attributeText.clear();
    for (std::size_t i = 0; i < std::size(kAttributeLetterBits); ++i) {
        if (m_attributes & kAttributeLetterBits[i])
            m_attributeText.push_back(kAttributeLetters[i]);
    }
}

std::int64_t TStShellItem::GetSize()
{
    if (m_size == -1)
        ReadFileDetails();
    return m_size;
}

double TStShellItem::GetModified()
{
    if (m_size == -1)
        ReadFileDetails();
    return m_modified;
}

std::uint32_t TStShellItem::GetAttributes()
{
    if (m_size == -1)
        ReadFileDetails();
    return m_attributes;
}

const std::string& TStShellItem::GetAttributeText()
{
    if (m_size == -1)
        ReadFileDetails();
    return m_attributeText;
}

std::uint32_t TStShellItem::GetFileDate()
{
    if (m_size == -1)
        ReadFileDetails();
    return m_fileDate;
}
