// SPDX-License-Identifier: MIT
#include "shell/notification/ShellItemFactory.h"

#include "platform/fileinfo/FileInfo.h"
#include "shell/items/StShellItem.h"

using namespace dw::platform;

namespace {

// The most a display name may hold after a refresh, as the shell's buffer.
constexpr std::size_t kMaxDisplayName = 260;

} // namespace

std::unique_ptr<TStShellItem> MakeNotificationShellItem(const ItemIdList* absolute)
{
    return std::make_unique<TStShellItem>(absolute, nullptr);
}

void RefreshShellItemFromShell(TStShellItem& item)
{
    if (const auto& parent = item.GetParentFolder()) {
        // The relative id is passed along so that the folder forgets what it
        // knew about this item (it may be a medium that just came or went).
        SfgaoFlags validate = SFGAO_VALIDATE;
        parent->GetAttributesOf({item.GetRelativeIdList()}, validate);
    }
    ShFileInfo info;
    if (SHGetFileInfo(item.GetAbsoluteIdList(), 0, info, SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_DISPLAYNAME)
        == nullptr)
        return;
    std::string name = std::move(info.szDisplayName);
    if (name.size() > kMaxDisplayName)
        name.resize(kMaxDisplayName);
    item.SetDisplayName(std::move(name));
    item.SetIconIndex(info.iIcon);
}
