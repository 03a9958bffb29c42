// SPDX-License-Identifier: MIT
#pragma once
// SHGetFileInfo: name, attributes, type and system icon index of a
// namespace item, answered through the namespace in effect.

#include "platform/fileinfo/SystemImageList.h"
#include "platform/namespace/ShellFolder.h"

#include <cstdint>
#include <string>

namespace dw::platform {

constexpr unsigned SHGFI_LARGEICON = 0x000000;
constexpr unsigned SHGFI_SMALLICON = 0x000001;
constexpr unsigned SHGFI_OPENICON = 0x000002;
constexpr unsigned SHGFI_PIDL = 0x000008;
constexpr unsigned SHGFI_ICON = 0x000100;
constexpr unsigned SHGFI_DISPLAYNAME = 0x000200;
constexpr unsigned SHGFI_TYPENAME = 0x000400;
constexpr unsigned SHGFI_ATTRIBUTES = 0x000800;
constexpr unsigned SHGFI_SYSICONINDEX = 0x004000;
constexpr unsigned SHGFI_LINKOVERLAY = 0x008000;
constexpr unsigned SHGFI_SELECTED = 0x010000;
constexpr unsigned SHGFI_ATTR_SPECIFIED = 0x020000;

struct ShFileInfo {
    int iIcon = -1;
    SfgaoFlags dwAttributes = 0;
    std::string szDisplayName;
    std::string szTypeName;
};

// With SHGFI_SYSICONINDEX answers the system image list (small with
// SHGFI_SMALLICON) and fills iIcon; otherwise answers a non-null marker on
// success. Null on failure. `item` is an absolute id list with SHGFI_PIDL;
// without it only the empty path is understood (the image lists
// themselves). `attributes` are the SFGAO_* bits asked with
// SHGFI_ATTR_SPECIFIED.
const SystemImageList* SHGetFileInfo(const ItemIdList* item, SfgaoFlags attributes, ShFileInfo& info,
                                     unsigned flags);

// The same for a child of a folder already bound: saves binding the parent
// again for every child of a folder being listed.
const SystemImageList* SHGetFileInfoOf(IShellFolder& parent, const ItemIdList* relative, SfgaoFlags attributes,
                                       ShFileInfo& info, unsigned flags);

// The type description of a file-system item ("Folder", "Plain text
// document"...) from its content type, judged by name.
std::string typeNameOfPath(const std::string& path, bool folder);

// The icon of an item: the folder's own name for it, else by content type.
IconKey iconKeyOf(IShellFolder& parent, const ItemIdList* relative, SfgaoFlags attributes, bool open);

// Index of the overlay drawn on links.
int linkOverlayIndex();
// Index of the overlay drawn on shared folders.
int sharedOverlayIndex();
// The emblem of an overlay value (0 shared, 1 link); -1 for none.
int overlayEmblemIndex(int overlay);

} // namespace dw::platform
