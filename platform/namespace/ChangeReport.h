// SPDX-License-Identifier: MIT
#pragma once
// How the namespace's own operations (rename, new folder, trash, delete)
// tell the change notification what they changed: an event word (SHCNE_*)
// and up to two absolute id lists, like the shell's change report.

#include "platform/idlist/IdList.h"

#include <functional>

namespace dw::platform {

using NamespaceChangeSink = std::function<void(long eventId, const ItemIdList* first, const ItemIdList* second)>;

void reportNamespaceChange(long eventId, const ItemIdList* first, const ItemIdList* second = nullptr);

// Where reports go: SHChangeNotify of the change notification, unless
// replaced (tests watch reports this way). Answers the previous sink.
NamespaceChangeSink setNamespaceChangeSink(NamespaceChangeSink sink);

} // namespace dw::platform
