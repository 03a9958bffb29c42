// SPDX-License-Identifier: MIT
#include "platform/fileinfo/FileInfo.h"

#include "platform/fileinfo/FileTypes.h"
#include "platform/namespace/ShellNamespace.h"

#include <QFile>
#include <QMimeDatabase>

namespace dw::platform {

namespace {

// Content types are judged by name only: reading every file's first bytes
// would make listing a large folder as slow as reading it.
QMimeType mimeTypeOf(const std::string& path)
{
    static const QMimeDatabase database;
    return database.mimeTypeForFile(QFile::decodeName(QByteArray::fromStdString(path)), QMimeDatabase::MatchExtension);
}

IconKey::Fallback fallbackFor(const std::string& themeName, bool folder, bool open)
{
    if (themeName == "computer")
        return IconKey::Fallback::Computer;
    if (themeName.rfind("network", 0) == 0 || themeName == "folder-remote")
        return IconKey::Fallback::Network;
    if (themeName.rfind("user-trash", 0) == 0)
        return IconKey::Fallback::Trash;
    if (themeName.rfind("drive-", 0) == 0)
        return IconKey::Fallback::Drive;
    if (themeName == "user-desktop")
        return IconKey::Fallback::Desktop;
    if (themeName == "user-home")
        return IconKey::Fallback::Home;
    if (folder)
        return open ? IconKey::Fallback::FolderOpen : IconKey::Fallback::Folder;
    return IconKey::Fallback::File;
}

const SystemImageList* imageListFor(unsigned flags)
{
    return (flags & SHGFI_SMALLICON) ? &SystemImageList::small() : &SystemImageList::large();
}

struct ItemInParent {
    ShellFolderPtr parent;
    const ItemIdList* relative = nullptr;
};

ItemInParent locate(const ItemIdList* absolute)
{
    if (ILIdSize(absolute) == 0) {
        ShellFolderPtr desktop;
        SHGetDesktopFolder(desktop);
        return {desktop, absolute};
    }
    return {bindToParent(absolute), ILFindLastID(absolute)};
}

} // namespace

std::string typeNameOfPath(const std::string& path, bool folder)
{
    if (folder)
        return "Folder";
    const QMimeType type = mimeTypeOf(path);
    return type.isValid() ? type.comment().toStdString() : "File";
}

IconKey iconKeyOf(IShellFolder& parent, const ItemIdList* relative, SfgaoFlags attributes, bool open)
{
    const bool folder = (attributes & SFGAO_FOLDER) != 0;
    std::string name = parent.GetIconNameOf(relative, open);
    if (name.empty() && ILIdSize(relative) == 0)
        name = "user-desktop";
    if (name.empty() && folder)
        name = open ? "folder-open" : "folder";
    if (name.empty()) {
        std::string fileName;
        parent.GetDisplayNameOf(relative, SHGDN_FORPARSING | SHGDN_INFOLDER, fileName);
        name = fileTypeOfName(fileName).iconName;
    }
    return {name, fallbackFor(name, folder, open)};
}

int linkOverlayIndex()
{
    static const int index = SystemImageList::indexOf({"emblem-symbolic-link", IconKey::Fallback::Link});
    return index;
}

int sharedOverlayIndex()
{
    static const int index = SystemImageList::indexOf({"emblem-shared", IconKey::Fallback::Link});
    return index;
}

int overlayEmblemIndex(int overlay)
{
    if (overlay == 0)
        return sharedOverlayIndex();
    return overlay == 1 ? linkOverlayIndex() : -1;
}

const SystemImageList* SHGetFileInfo(const ItemIdList* item, SfgaoFlags attributes, ShFileInfo& info,
                                     unsigned flags)
{
    info = ShFileInfo{};
    if (!(flags & SHGFI_PIDL))
        return (flags & SHGFI_SYSICONINDEX) && !item ? imageListFor(flags) : nullptr;
    const ItemInParent located = locate(item);
    if (!located.parent)
        return nullptr;
    return SHGetFileInfoOf(*located.parent, located.relative, attributes, info, flags);
}

const SystemImageList* SHGetFileInfoOf(IShellFolder& parent, const ItemIdList* relative, SfgaoFlags attributes,
                                       ShFileInfo& info, unsigned flags)
{
    info = ShFileInfo{};
    SfgaoFlags known = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_LINK | SFGAO_SHARE;
    if (flags & SHGFI_ATTR_SPECIFIED)
        known |= attributes;
    if (failed(parent.GetAttributesOf({relative}, known)))
        return nullptr;
    if (flags & SHGFI_ATTRIBUTES)
        info.dwAttributes = (flags & SHGFI_ATTR_SPECIFIED) ? known & attributes : known;
    if (flags & SHGFI_DISPLAYNAME)
        parent.GetDisplayNameOf(relative, SHGDN_NORMAL, info.szDisplayName);
    if (flags & SHGFI_TYPENAME) {
        std::string path;
        parent.GetDisplayNameOf(relative, SHGDN_FORPARSING, path);
        info.szTypeName = (known & SFGAO_FILESYSTEM) ? typeNameOfPath(path, known & SFGAO_FOLDER)
                                                     : std::string("System Folder");
    }
    if (flags & (SHGFI_SYSICONINDEX | SHGFI_ICON))
        info.iIcon = SystemImageList::indexOf(iconKeyOf(parent, relative, known, flags & SHGFI_OPENICON));
    if (flags & SHGFI_SYSICONINDEX)
        return imageListFor(flags);
    return &SystemImageList::large();
}

} // namespace dw::platform
