// SPDX-License-Identifier: MIT
#pragma once
// The virtual folders of the Linux namespace: the desktop, Computer,
// Network and Trash. Parsing names of virtual items (what
// GetDisplayNameOf(SHGDN_FORPARSING) answers and ParseDisplayName takes):
//
//   desktop               the XDG desktop directory
//   home folder           the home path
//   Computer              "computer:///"
//   a volume              its mount point
//   Network               "network:///"
//   a network share       "//SERVER/SHARE" (SHARE: the exported path)
//   Trash                 "trash:///"
//   a trash entry         "trash:///" + its percent-encoded name in the
//                         trash's "files" folder

#include "platform/namespace/NamespaceFolder.h"

namespace dw::platform {

class FileSystemFolder;
class TrashInfoCache;

constexpr const char* COMPUTER_PARSING_NAME = "computer:///";
constexpr const char* NETWORK_PARSING_NAME = "network:///";
constexpr const char* TRASH_PARSING_NAME = "trash:///";

class DesktopFolder : public NamespaceFolder {
public:
    explicit DesktopFolder(std::shared_ptr<NamespaceContext> context);

    HResult ParseDisplayName(const std::string& name, IdListPtr& result) override;
    HResult EnumObjects(ShcontfFlags flags, std::unique_ptr<IEnumIdList>& result) override;
    // The desktop's own name and attributes are asked with the empty list.
    HResult GetDisplayNameOf(const ItemIdList* relative, ShgdnFlags flags, std::string& name) override;
    HResult GetAttributesOf(const std::vector<const ItemIdList*>& relatives, SfgaoFlags& attributes) override;
    // The empty list stands for the desktop directory; Trash takes drops too.
    HResult GetDropTargetOf(const ItemIdList* relative, std::unique_ptr<IDropTarget>& result) override;

protected:
    HResult childDropTarget(const IdRecord& child, const ItemIdList* relative,
                            std::unique_ptr<IDropTarget>& result) override;
    HResult bindChild(const IdRecord& child, ShellFolderPtr& result) override;
    int compareChildren(const IdRecord& first, const IdRecord& second) override;
    HResult childAttributes(const IdRecord& child, SfgaoFlags asked, SfgaoFlags& result) override;
    HResult childDisplayName(const IdRecord& child, ShgdnFlags flags, std::string& name) override;
    HResult renameChild(const IdRecord& child, const std::string& name, IdListPtr* newRelative) override;
    HResult childFindData(const IdRecord& child, FindData& data) override;
    std::string childIconName(const IdRecord& child, bool open) override;
    std::string childPath(const IdRecord& child) override;

private:
    bool desktopDirectoryExists() const;
    HResult parsePath(const std::string& path, IdListPtr& result);
    HResult parseShare(const std::string& name, IdListPtr& result);
    HResult parseTrash(const std::string& name, IdListPtr& result);

    // The desktop directory's entries are children of the desktop itself.
    std::shared_ptr<FileSystemFolder> directory_;
    ShellFolderPtr trash_;
};

class ComputerFolder : public NamespaceFolder {
public:
    explicit ComputerFolder(std::shared_ptr<NamespaceContext> context);

    HResult ParseDisplayName(const std::string& name, IdListPtr& result) override;
    HResult EnumObjects(ShcontfFlags flags, std::unique_ptr<IEnumIdList>& result) override;

protected:
    HResult bindChild(const IdRecord& child, ShellFolderPtr& result) override;
    int compareChildren(const IdRecord& first, const IdRecord& second) override;
    HResult childAttributes(const IdRecord& child, SfgaoFlags asked, SfgaoFlags& result) override;
    HResult childDisplayName(const IdRecord& child, ShgdnFlags flags, std::string& name) override;
    HResult childFindData(const IdRecord& child, FindData& data) override;
    std::string childIconName(const IdRecord& child, bool open) override;
    std::string childPath(const IdRecord& child) override;
};

class NetworkFolder : public NamespaceFolder {
public:
    explicit NetworkFolder(std::shared_ptr<NamespaceContext> context);

    HResult ParseDisplayName(const std::string& name, IdListPtr& result) override;
    HResult EnumObjects(ShcontfFlags flags, std::unique_ptr<IEnumIdList>& result) override;

protected:
    HResult bindChild(const IdRecord& child, ShellFolderPtr& result) override;
    int compareChildren(const IdRecord& first, const IdRecord& second) override;
    HResult childAttributes(const IdRecord& child, SfgaoFlags asked, SfgaoFlags& result) override;
    HResult childDisplayName(const IdRecord& child, ShgdnFlags flags, std::string& name) override;
    std::string childIconName(const IdRecord& child, bool open) override;
    std::string childPath(const IdRecord& child) override;
};

// Whether the trash at `trashPath` holds a trashed folder.
bool trashHoldsFolder(const std::string& trashPath);

// The trash's entries: trashed folders are folders (a folders-only tree
// shows them) that are not browsed into, the rest are files.
class TrashFolder : public NamespaceFolder {
public:
    explicit TrashFolder(std::shared_ptr<NamespaceContext> context);

    HResult ParseDisplayName(const std::string& name, IdListPtr& result) override;
    HResult EnumObjects(ShcontfFlags flags, std::unique_ptr<IEnumIdList>& result) override;
    HResult GetUIObjectOf(const std::vector<const ItemIdList*>& relatives,
                          std::unique_ptr<IContextMenu>& result) override;
    // Where an entry was before it was trashed ("" when unknown), read now.
    std::string originalPath(std::string_view entryName) const;
    // Its name there, or its name in the trash when that is unknown; read
    // once per listing.
    std::string shownName(std::string_view entryName) const;

protected:
    HResult bindChild(const IdRecord& child, ShellFolderPtr& result) override;
    int compareChildren(const IdRecord& first, const IdRecord& second) override;
    HResult childAttributes(const IdRecord& child, SfgaoFlags asked, SfgaoFlags& result) override;
    HResult childDisplayName(const IdRecord& child, ShgdnFlags flags, std::string& name) override;
    HResult childFindData(const IdRecord& child, FindData& data) override;
    std::string childPath(const IdRecord& child) override;
    std::string childIconName(const IdRecord& child, bool open) override;

private:
    // Without a home there is no trash: it then holds nothing.
    bool hasTrash() const;
    std::string filesPath() const;

    TrashInfoCache& names_;
};

} // namespace dw::platform
