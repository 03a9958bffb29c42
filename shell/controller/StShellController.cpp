// SPDX-License-Identifier: MIT
#include "shell/controller/StShellController.h"

#include "platform/fileinfo/FileInfo.h"
#include "platform/namespace/ShellNamespace.h"
#include "shell/controller/StVolumeLineWait.h"

using namespace dw::platform;

namespace {

constexpr unsigned kIconQueryFlags = SHGFI_PIDL | SHGFI_DISPLAYNAME | SHGFI_ATTRIBUTES | SHGFI_SYSICONINDEX
    | SHGFI_ATTR_SPECIFIED; // 0x24A08
constexpr unsigned kOpenIconFlags = SHGFI_PIDL | SHGFI_OPENICON | SHGFI_SYSICONINDEX; // 0x400A
constexpr SfgaoFlags kIconQueryAttributes = SFGAO_FOLDER | SFGAO_SHARE | SFGAO_LINK;  // 0x20030000
constexpr int kReplacedIconIndex = 2;

} // namespace

TStCustomShellController::TStCustomShellController(QObject* owner)
    : TSsComponent(owner), m_itemList(std::make_unique<TStShellItemList>()), m_volumePatience(kVolumeAnswerPatience)
{
    // The id-list functions are linked in and the clipboard formats need no
    // registration with Qt; what remains is the desktop and the image lists.
    SHGetDesktopFolder(m_desktopFolder);
    ShFileInfo info;
    m_smallImages = SHGetFileInfo(nullptr, 0, info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    m_largeImages = SHGetFileInfo(nullptr, 0, info, SHGFI_SYSICONINDEX);
    // Links are marked by an emblem; no icon of this desktop needs replacing,
    // so the replacement index stays -1.
    m_linkOverlayIndex = linkOverlayIndex();
}

TStCustomShellController::~TStCustomShellController() = default;

std::string TStCustomShellController::GetDisplayName(IShellFolder& folder, const ItemIdList* relative,
                                                     ShgdnFlags flags) const
{
    std::string name;
    if (failed(folder.GetDisplayNameOf(relative, flags, name)))
        name.clear();
    return name;
}

ShellFolderPtr TStCustomShellController::Bind(IShellFolder& folder, const ItemIdList* relative) const
{
    ShellFolderPtr bound;
    if (failed(folder.BindToObject(relative, bound)))
        return nullptr;
    return bound;
}

template <typename Query>
void TStCustomShellController::IconIndicesFrom(Query query, int& iconIndex, int& openIconIndex, int& overlayIndex,
                                               std::string* displayName) const
{
    ShFileInfo info;
    // The name costs a conversion per item: asked only when wanted.
    const unsigned flags = displayName ? kIconQueryFlags : kIconQueryFlags & ~SHGFI_DISPLAYNAME;
    if (!query(kIconQueryAttributes, info, flags)) {
        iconIndex = openIconIndex = overlayIndex = -1;
        return;
    }
    iconIndex = info.iIcon;
    if (iconIndex == kReplacedIconIndex && m_replacementIconIndex != -1)
        iconIndex = m_replacementIconIndex;
    openIconIndex = iconIndex;
    if (info.dwAttributes & SFGAO_FOLDER) {
        ShFileInfo open;
        if (query(0, open, kOpenIconFlags))
            openIconIndex = open.iIcon;
    }
    if (info.dwAttributes & SFGAO_SHARE)
        overlayIndex = 0;
    else if (info.dwAttributes & SFGAO_LINK)
        overlayIndex = 1;
    else
        overlayIndex = -1;
    if (displayName)
        *displayName = info.szDisplayName;
}

void TStCustomShellController::GetIconIndices(const ItemIdList* absolute, int& iconIndex, int& openIconIndex,
                                              int& overlayIndex, std::string* displayName) const
{
    IconIndicesFrom(
        [&](SfgaoFlags attributes, ShFileInfo& info, unsigned flags) {
            return SHGetFileInfo(absolute, attributes, info, flags) != nullptr;
        },
        iconIndex, openIconIndex, overlayIndex, displayName);
}

void TStCustomShellController::GetIconIndices(IShellFolder& parent, const ItemIdList* relative, int& iconIndex,
                                              int& openIconIndex, int& overlayIndex, std::string* displayName) const
{
    IconIndicesFrom(
        [&](SfgaoFlags attributes, ShFileInfo& info, unsigned flags) {
            return SHGetFileInfoOf(parent, relative, attributes, info, flags) != nullptr;
        },
        iconIndex, openIconIndex, overlayIndex, displayName);
}
