// SPDX-License-Identifier: MIT
#include "IdList.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace dw::platform {

namespace {

std::uint16_t readSize(const unsigned char* bytes)
{
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

const unsigned char* bytesOf(const ItemIdList* list)
{
    return reinterpret_cast<const unsigned char*>(list);
}

void writeTerminator(unsigned char* at)
{
    at[0] = 0;
    at[1] = 0;
}

// Bytes of the ids of `list` without the terminator.
std::size_t idBytes(const ItemIdList* list)
{
    const std::uint32_t size = ILGetSize(list);
    return size == 0 ? 0 : size - 2;
}

} // namespace

std::uint16_t ILIdSize(const ItemIdList* list)
{
    return list ? readSize(bytesOf(list)) : 0;
}

std::string_view ILIdData(const ItemIdList* list)
{
    const std::uint16_t size = ILIdSize(list);
    if (size < 2)
        return {};
    return {reinterpret_cast<const char*>(bytesOf(list)) + 2, std::size_t(size - 2)};
}

ItemIdList* ILAlloc(std::size_t bytes)
{
    return static_cast<ItemIdList*>(std::malloc(bytes < 2 ? 2 : bytes));
}

void ILFree(ItemIdList* list)
{
    std::free(list);
}

std::uint32_t ILGetSize(const ItemIdList* list)
{
    if (!list)
        return 0;
    std::uint32_t total = 0;
    for (const unsigned char* p = bytesOf(list); readSize(p) != 0; p += readSize(p))
        total += readSize(p);
    return total + 2;
}

const ItemIdList* ILGetNext(const ItemIdList* list)
{
    const std::uint16_t size = ILIdSize(list);
    if (size == 0)
        return nullptr;
    return reinterpret_cast<const ItemIdList*>(bytesOf(list) + size);
}

ItemIdList* ILGetNext(ItemIdList* list)
{
    return const_cast<ItemIdList*>(ILGetNext(static_cast<const ItemIdList*>(list)));
}

const ItemIdList* ILFindLastID(const ItemIdList* list)
{
    if (!list)
        return nullptr;
    const ItemIdList* last = list;
    for (const ItemIdList* p = list; ILIdSize(p) != 0; p = ILGetNext(p))
        last = p;
    return last;
}

ItemIdList* ILFindLastID(ItemIdList* list)
{
    return const_cast<ItemIdList*>(ILFindLastID(static_cast<const ItemIdList*>(list)));
}

bool ILRemoveLastID(ItemIdList* list)
{
    if (ILIdSize(list) == 0)
        return false;
    writeTerminator(reinterpret_cast<unsigned char*>(ILFindLastID(list)));
    return true;
}

ItemIdList* ILClone(const ItemIdList* list)
{
    if (!list)
        return nullptr;
    const std::uint32_t size = ILGetSize(list);
    ItemIdList* copy = ILAlloc(size);
    if (copy)
        std::memcpy(copy, list, size);
    return copy;
}

ItemIdList* ILCloneFirst(const ItemIdList* list)
{
    if (!list)
        return nullptr;
    const std::uint16_t size = ILIdSize(list);
    ItemIdList* copy = ILAlloc(std::size_t(size) + 2);
    if (!copy)
        return nullptr;
    std::memcpy(copy, list, size);
    writeTerminator(reinterpret_cast<unsigned char*>(copy) + size);
    return copy;
}

ItemIdList* ILCombine(const ItemIdList* first, const ItemIdList* second)
{
    if (!first && !second)
        return nullptr;
    const std::size_t firstBytes = idBytes(first);
    const std::size_t secondBytes = idBytes(second);
    ItemIdList* combined = ILAlloc(firstBytes + secondBytes + 2);
    if (!combined)
        return nullptr;
    auto* out = reinterpret_cast<unsigned char*>(combined);
    if (firstBytes)
        std::memcpy(out, first, firstBytes);
    if (secondBytes)
        std::memcpy(out + firstBytes, second, secondBytes);
    writeTerminator(out + firstBytes + secondBytes);
    return combined;
}

bool ILIsEqual(const ItemIdList* first, const ItemIdList* second)
{
    const std::size_t firstBytes = idBytes(first);
    if (firstBytes != idBytes(second))
        return false;
    return firstBytes == 0 || std::memcmp(first, second, firstBytes) == 0;
}

std::uint32_t ILValidate(const void* buffer, std::size_t bufferSize)
{
    if (!buffer || bufferSize < 2 || bufferSize > std::numeric_limits<std::uint32_t>::max())
        return 0;
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    std::size_t offset = 0;
    while (offset + 2 <= bufferSize) {
        const std::uint16_t size = readSize(bytes + offset);
        if (size == 0)
            return static_cast<std::uint32_t>(offset + 2);
        if (size < 2 || size > bufferSize - offset)
            return 0;
        offset += size;
    }
    return 0;
}

std::size_t ILCount(const ItemIdList* list)
{
    std::size_t count = 0;
    for (const ItemIdList* p = list; ILIdSize(p) != 0; p = ILGetNext(p))
        ++count;
    return count;
}

ItemIdList* ILCreateFromData(std::string_view data)
{
    if (data.size() > std::numeric_limits<std::uint16_t>::max() - 2u)
        return nullptr;
    const std::size_t size = data.size() + 2;
    ItemIdList* list = ILAlloc(size + 2);
    if (!list)
        return nullptr;
    auto* out = reinterpret_cast<unsigned char*>(list);
    out[0] = static_cast<unsigned char>(size & 0xff);
    out[1] = static_cast<unsigned char>(size >> 8);
    if (!data.empty())
        std::memcpy(out + 2, data.data(), data.size());
    writeTerminator(out + size);
    return list;
}

ItemIdList* ILCloneValidated(const void* buffer, std::size_t bufferSize)
{
    const std::uint32_t size = ILValidate(buffer, bufferSize);
    if (size == 0)
        return nullptr;
    ItemIdList* copy = ILAlloc(size);
    if (copy)
        std::memcpy(copy, buffer, size);
    return copy;
}

} // namespace dw::platform
