// SPDX-License-Identifier: MIT
#pragma once
// One entry of the shell namespace (a drive, a folder, a file, a virtual
// object such as the desktop), described by its item-id lists and by facts
// read once from the namespace. Names are 8-bit strings: `Path` keeps the
// exact bytes of the file system, `DisplayName` is UTF-8 text for people.

#include "platform/listing/ChildRecord.h"
#include "platform/namespace/ShellFolder.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TStCustomShellController;

class TStShellItem {
public:
    // Empty: Size and IconIndex -1. Used by the controller's enumeration,
    // which fills the fields itself. Without a controller the item makes its
    // own and owns it.
    explicit TStShellItem(TStCustomShellController* controller = nullptr);
    // The full construction from an absolute id list (the desktop: empty list).
    TStShellItem(const dw::platform::ItemIdList* absoluteIdList, TStCustomShellController* controller);
    virtual ~TStShellItem();

    TStShellItem(const TStShellItem&) = delete;
    TStShellItem& operator=(const TStShellItem&) = delete;

    // Copies every field: the id lists are cloned, Details line by line, the
    // parent folder bound again, the controller shared (not owned; a
    // controller the source made stays alive while the copy needs it).
    virtual void Assign(const TStShellItem& source);

    // Steps 4 to 6 of the construction, shared with the controller's
    // enumeration: names, network-name cut, file-system flags. `attributes`
    // holds what the parent answered for SFGAO_FILESYSTEM | SFGAO_FOLDER
    // when the caller already asked; otherwise the item asks.
    void FillFromParent(dw::platform::ShellFolderPtr parent, dw::platform::IdListPtr relative,
                        dw::platform::IdListPtr absolute, const dw::platform::SfgaoFlags* attributes = nullptr);

    // Everything a listing record tells: ids, names, file-system flags,
    // icons, the attributes it answered (kept, so that queries made while
    // drawing cost no system call) and, when it has them, the file details.
    void FillFromRecord(const dw::platform::ChildRecord& record);

    // Lazy facts.
    int GetIconIndex();
    int GetOpenIconIndex();
    int GetOverlayIndex();
    std::int64_t GetSize();
    double GetModified();
    std::uint32_t GetAttributes();
    const std::string& GetAttributeText();
    std::uint32_t GetFileDate();

    // Attribute queries, each asked of the parent folder for one bit.
    bool CanRename() const;
    bool HasSubFolders() const;
    bool IsCompressed() const;
    bool IsHidden() const;
    bool IsLink() const;
    bool IsShared() const;
    bool IsFolder() const;

    // Runs the item's default verb; whether that worked.
    bool Execute() const;
    // Order against a sibling (same parent folder): negative, 0, positive.
    int Compare(const TStShellItem& other) const;

    std::vector<std::string>& GetDetails() { return m_details; }
    const std::vector<std::string>& GetDetails() const { return m_details; }
    TStCustomShellController* GetController() const { return m_controller; }
    const std::string& GetDisplayName() const { return m_displayName; }
    const std::string& GetPath() const { return m_path; }
    const std::string& GetTypeName() const { return m_typeName; }
    bool IsDesktop() const { return m_isDesktop; }
    bool IsFile() const { return m_isFile; }
    bool IsFileFolder() const { return m_isFileFolder; }
    bool IsFileSystem() const { return m_isFileSystem; }
    const dw::platform::ShellFolderPtr& GetParentFolder() const { return m_parentFolder; }
    const dw::platform::ItemIdList* GetAbsoluteIdList() const { return m_absoluteIdList.get(); }
    const dw::platform::ItemIdList* GetRelativeIdList() const { return m_relativeIdList.get(); }
    const void* GetOwnerList() const { return m_ownerList; }
    bool GetOwnsController() const { return m_ownsController; }

    void SetDisplayName(std::string name) { m_displayName = std::move(name); }
    void SetTypeName(std::string name) { m_typeName = std::move(name); }
    void SetIconIndex(int index) { m_iconIndex = index; }
    void SetOpenIconIndex(int index) { m_openIconIndex = index; }
    void SetOverlayIndex(int index) { m_overlayIndex = index; }
    void SetOwnerList(const void* list) { m_ownerList = list; }

    // The resource text that separates a share from its server.
    static constexpr const char* kNetworkNameSeparator = " on ";
    // The name an item shows: a network share's name without its server.
    static std::string ShownName(const std::string& path, std::string displayName);

private:
    void AdoptController(TStCustomShellController* controller);
    void BindParentFolder();
    void ApplyNetworkNameCut();
    void ReadFileSystemFlags(const dw::platform::SfgaoFlags* known);
    bool AskAttribute(dw::platform::SfgaoFlags bit) const;
    void TakeFileFacts(const dw::platform::ChildFileFacts& facts);
    void BuildAttributeText();
    void ReadIcons();
    void ReadFileDetails();
    void TakeFindData(const dw::platform::FindData& data);

    std::vector<std::string> m_details;
    TStCustomShellController* m_controller = nullptr;
    double m_modified = 0;
    std::int64_t m_size = -1;
    std::string m_displayName;
    std::uint32_t m_attributes = 0;
    std::string m_attributeText;
    int m_iconIndex = -1;
    bool m_iconsRead = false; // the icon query was made (it may have failed)
    bool m_isDesktop = false;
    bool m_isFile = false;
    bool m_isFileFolder = false;
    bool m_isFileSystem = false;
    int m_openIconIndex = -1;
    int m_overlayIndex = -1;
    dw::platform::ShellFolderPtr m_parentFolder;
    std::string m_path;
    dw::platform::IdListPtr m_absoluteIdList;
    dw::platform::IdListPtr m_relativeIdList;
    std::string m_typeName;
    std::uint32_t m_fileDate = 0;
    const void* m_ownerList = nullptr;
    bool m_ownsController = false;
    // Kept by copies too: a copy made by Assign shares the controller, and
    // must not be left pointing at one its source freed.
    std::shared_ptr<TStCustomShellController> m_ownedController;
    // Attribute bits a listing already answered, and which of them are set.
    dw::platform::SfgaoFlags m_knownAttributeMask = 0;
    dw::platform::SfgaoFlags m_knownAttributes = 0;
};
