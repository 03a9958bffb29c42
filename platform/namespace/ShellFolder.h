// SPDX-License-Identifier: MIT
#pragma once
// The folder interface of the shell namespace. Every folder of the namespace
// (the desktop, Computer, Network, Trash, file-system folders, and the fake
// folders of the tests) answers these calls about its own children, which it
// names by relative id lists (see IdRecord.h for the records of the Linux
// namespace). Folder objects are shared: an item keeps a reference to its
// parent folder for as long as it lives.

#include "platform/idlist/IdList.h"
#include "platform/namespace/ChildListing.h"
#include "platform/namespace/ShellTypes.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace dw::platform {

class IContextMenu;
class IDropTarget;

// Answers the children of one folder one at a time.
class IEnumIdList {
public:
    virtual ~IEnumIdList() = default;
    // S_OK with the next child's relative id in `child`; S_FALSE (and a null
    // `child`) when there are no more.
    virtual HResult Next(IdListPtr& child) = 0;
};

// File attribute bits of the find-data record.
constexpr std::uint32_t FILE_ATTRIBUTE_READONLY = 0x0001;
constexpr std::uint32_t FILE_ATTRIBUTE_HIDDEN = 0x0002;
constexpr std::uint32_t FILE_ATTRIBUTE_SYSTEM = 0x0004;
constexpr std::uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x0010;
constexpr std::uint32_t FILE_ATTRIBUTE_ARCHIVE = 0x0020;
constexpr std::uint32_t FILE_ATTRIBUTE_COMPRESSED = 0x0800;

// What SHGetDataFromIDList answers for a file-system item.
struct FindData {
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
    std::int64_t lastWriteSeconds = 0; // seconds since 1970-01-01 UTC
    std::int32_t lastWriteNanoseconds = 0;
    std::string fileName; // the entry's own name, exact bytes
};

class IShellFolder {
public:
    virtual ~IShellFolder() = default;

    // Turns a name relative to this folder (for the desktop: anything
    // GetDisplayNameOf(SHGDN_FORPARSING) answers) into a relative id list.
    virtual HResult ParseDisplayName(const std::string& name, IdListPtr& result) = 0;
    // An enumerator of the children that `flags` (SHCONTF_*) select. Fails for
    // a folder that cannot be read.
    virtual HResult EnumObjects(ShcontfFlags flags, std::unique_ptr<IEnumIdList>& result) = 0;
    // The folder that `relative` (one or more ids) names below this one.
    virtual HResult BindToObject(const ItemIdList* relative, std::shared_ptr<IShellFolder>& result) = 0;
    // Order of two relative id lists: negative, 0 or positive; the value fits
    // the low 16 bits as a signed number. `param` 0 sorts by name.
    virtual HResult CompareIDs(long param, const ItemIdList* first, const ItemIdList* second) = 0;
    // On entry `attributes` holds the SFGAO_* bits asked for; on return the
    // bits that every one of the ids has. Expensive bits are probed only when
    // asked. SFGAO_VALIDATE makes it fail for ids that no longer exist.
    virtual HResult GetAttributesOf(const std::vector<const ItemIdList*>& relatives,
                                    SfgaoFlags& attributes) = 0;
    virtual HResult GetDisplayNameOf(const ItemIdList* relative, ShgdnFlags flags, std::string& name) = 0;
    // Renames a child; on success `newRelative` (when given) receives its new id.
    virtual HResult SetNameOf(const ItemIdList* relative, const std::string& name, ShgdnFlags flags,
                              IdListPtr* newRelative) = 0;
    // The context menu of one or more children.
    virtual HResult GetUIObjectOf(const std::vector<const ItemIdList*>& relatives,
                                  std::unique_ptr<IContextMenu>& result) = 0;
    // The drop target of a child folder (the empty list: this folder); a
    // namespace without drop targets answers E_NOTIMPL.
    virtual HResult GetDropTargetOf(const ItemIdList*, std::unique_ptr<IDropTarget>&) { return E_NOTIMPL; }
    // The find data of a file-system child (SHGetDataFromIDList, format 1).
    virtual HResult GetFindData(const ItemIdList* relative, FindData& data) = 0;
    // The freedesktop icon-theme name of a child ("folder", "computer"...),
    // or empty when the icon follows from the child's content type.
    virtual std::string GetIconNameOf(const ItemIdList* relative, bool open) = 0;
    // The absolute id list of this folder.
    virtual const ItemIdList* AbsoluteIdList() const = 0;

    // Every child that `options.flags` select, with its facts, handed to
    // `sink` one by one in the order they are found. Safe to call on any
    // thread. This base answers through the calls above, child by child;
    // folders that can learn the facts more cheaply override it.
    virtual ListingOutcome ListChildren(const ListingOptions& options, const ChildSink& sink);
};

using ShellFolderPtr = std::shared_ptr<IShellFolder>;

} // namespace dw::platform
