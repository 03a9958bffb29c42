// SPDX-License-Identifier: MIT
#include "shell/dragdrop/StDropTargets.h"

#include "platform/namespace/ShellNamespace.h"
#include "shell/items/StShellItem.h"

using namespace dw::platform;

std::unique_ptr<IDropTarget> DropTargetOfItem(const TStShellItem& item)
{
    std::unique_ptr<IDropTarget> target;
    if (const ShellFolderPtr& parent = item.GetParentFolder();
        parent && item.GetRelativeIdList() && ILIdSize(item.GetAbsoluteIdList()) != 0) {
        if (succeeded(parent->GetDropTargetOf(item.GetRelativeIdList(), target)))
            return target;
        return nullptr;
    }
    ShellFolderPtr desktop;
    if (succeeded(SHGetDesktopFolder(desktop)) && succeeded(desktop->GetDropTargetOf(item.GetAbsoluteIdList(), target)))
        return target;
    return nullptr;
}
