// SPDX-License-Identifier: MIT
#include "platform/changes/ChangeNotify.h"

#include <cstring>

namespace dw::platform {

IdListPtr MakeDwordIdList(std::uint32_t value1, std::uint32_t value2)
{
    constexpr std::uint16_t idSize = 2 + 2 * sizeof(std::uint32_t);
    IdListPtr list(ILAlloc(idSize + 2));
    if (!list)
        return list;
    auto* bytes = reinterpret_cast<unsigned char*>(list.get());
    bytes[0] = static_cast<unsigned char>(idSize & 0xFF);
    bytes[1] = static_cast<unsigned char>(idSize >> 8);
    std::memcpy(bytes + 2, &value1, sizeof value1);
    std::memcpy(bytes + 6, &value2, sizeof value2);
    bytes[idSize] = 0;
    bytes[idSize + 1] = 0;
    return list;
}

std::uint32_t DwordFromIdList(const ItemIdList* list)
{
    std::uint32_t value = 0;
    if (ILIdSize(list) >= 2 + sizeof value)
        std::memcpy(&value, reinterpret_cast<const unsigned char*>(list) + 2, sizeof value);
    return value;
}

} // namespace dw::platform
