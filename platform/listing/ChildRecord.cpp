#include "platform/listing/ChildRecord.h"

namespace dw::platform {

SharedIdList shareIdList(IdListPtr list)
{
    return SharedIdList(list.release(), [](const ItemIdList* shared) { ILFree(const_cast<ItemIdList*>(shared)); });
}

int compareSiblings(const ChildRecord& first, const ChildRecord& second, IShellFolder& desktop)
{
    if (first.sortKey && second.sortKey)
        return first.sortKey->compare(*second.sortKey);
    const HResult order = desktop.CompareIDs(0, first.absolute.get(), second.absolute.get());
    return static_cast<short>(order & 0xFFFF);
}

} // namespace dw::platform
