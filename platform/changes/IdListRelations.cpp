// SPDX-License-Identifier: MIT
#include "platform/changes/ChangeRegistry.h"

#include <cstring>

namespace dw::platform {
namespace {

bool sameId(const ItemIdList* a, const ItemIdList* b)
{
    const auto size = ILIdSize(a);
    return size == ILIdSize(b) && std::memcmp(a, b, size) == 0;
}

// Steps through `ancestor` and `item` together; answers where `item` stands
// after the last id of `ancestor`, or null when they part before that.
const ItemIdList* remainderAfter(const ItemIdList* ancestor, const ItemIdList* item)
{
    if (item == nullptr)
        return nullptr;
    while (ancestor != nullptr && ILIdSize(ancestor) != 0) {
        if (ILIdSize(item) == 0 || !sameId(ancestor, item))
            return nullptr;
        ancestor = ILGetNext(ancestor);
        item = ILGetNext(item);
    }
    return item;
}

} // namespace

bool IdListCovers(const ItemIdList* ancestor, const ItemIdList* item)
{
    return remainderAfter(ancestor, item) != nullptr;
}

bool IdListIsParentOf(const ItemIdList* parent, const ItemIdList* item)
{
    const ItemIdList* rest = remainderAfter(parent, item);
    return rest != nullptr && ILIdSize(rest) != 0 && ILIdSize(ILGetNext(rest)) == 0;
}

} // namespace dw::platform
