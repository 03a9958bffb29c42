// SPDX-License-Identifier: MIT
#include "shell/notification/StNotificationItem.h"

TStNotificationItem::TStNotificationItem(const dw::platform::ItemIdList* first,
                                         const dw::platform::ItemIdList* second, long eventBits)
    : first_(dw::platform::ILClone(first)), second_(dw::platform::ILClone(second)), eventBits_(eventBits)
{
}
