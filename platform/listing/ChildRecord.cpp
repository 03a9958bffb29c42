// SPDX-License-Identifier: MIT
#include "platform/listing/ChildRecord.h"

#include <cstring>

namespace dw::platform {

SharedIdList shareIdList(IdListPtr list)
{
    return SharedIdList(list.release(), [](const ItemIdList* shared) { ILFree(const_cast<ItemIdList*>(shared)); });
}

SharedIdList combineShared(const ItemIdList* first, const ItemIdList* second)
{
    // One block holds the count and the bytes: a listing makes one per child.
    const std::uint32_t firstSize = first ? ILGetSize(first) - 2 : 0; // without its terminator
    const std::uint32_t secondSize = second ? ILGetSize(second) : 2;
    auto block = std::make_shared_for_overwrite<unsigned char[]>(firstSize + secondSize);
    if (firstSize)
        std::memcpy(block.get(), first, firstSize);
    if (second)
        std::memcpy(block.get() + firstSize, second, secondSize);
    else
        block[firstSize] = block[firstSize + 1] = 0;
    return SharedIdList(block, reinterpret_cast<const ItemIdList*>(block.get()));
}

int compareSiblings(const ChildRecord& first, const ChildRecord& second, IShellFolder& desktop)
{
    if (first.sortKey && second.sortKey)
        return first.sortKey->compare(*second.sortKey);
    const HResult order = desktop.CompareIDs(0, first.absolute.get(), second.absolute.get());
    return static_cast<short>(order & 0xFFFF);
}

} // namespace dw::platform
