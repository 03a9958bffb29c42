// SPDX-License-Identifier: MIT
#pragma once
// One change report waiting in a notification component's queue: copies of
// the report's two item id lists (either may be absent) and its event word.

#include "platform/idlist/IdList.h"

class TStNotificationItem {
public:
    TStNotificationItem(const dw::platform::ItemIdList* first, const dw::platform::ItemIdList* second,
                        long eventBits);

    const dw::platform::ItemIdList* FirstIdList() const { return first_.get(); }
    const dw::platform::ItemIdList* SecondIdList() const { return second_.get(); }
    long EventBits() const { return eventBits_; }

private:
    dw::platform::IdListPtr first_;
    dw::platform::IdListPtr second_;
    long eventBits_;
};
