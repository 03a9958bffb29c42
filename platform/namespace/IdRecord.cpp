// SPDX-License-Identifier: MIT
#include "platform/namespace/IdRecord.h"

#include <cstring>

namespace dw::platform {

namespace {

bool isKnownKind(char kind)
{
    return std::strchr("HCNTVSXF", kind) != nullptr && kind != '\0';
}

bool isAbsolutePath(std::string_view path)
{
    return !path.empty() && path.front() == '/' && path.find('\0') == std::string_view::npos;
}

} // namespace

bool isValidComponent(std::string_view name)
{
    return !name.empty() && name.size() <= 255 && name != "." && name != ".."
        && name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

bool isWellFormedRecord(std::string_view data)
{
    if (data.size() < 2 || !isKnownKind(data[0]))
        return false;
    const auto kind = static_cast<IdKind>(data[0]);
    const std::string_view payload = data.substr(2);
    switch (kind) {
    case IdKind::Home:
    case IdKind::Computer:
    case IdKind::Network:
    case IdKind::Trash:
        return payload.empty();
    case IdKind::Volume:
    case IdKind::Share:
        return isAbsolutePath(payload);
    case IdKind::TrashEntry:
    case IdKind::Entry:
        return isValidComponent(payload);
    }
    return false;
}

std::optional<IdRecord> readRecord(const ItemIdList* list)
{
    const std::string_view data = ILIdData(list);
    if (!isWellFormedRecord(data))
        return std::nullopt;
    return IdRecord{static_cast<IdKind>(data[0]), static_cast<std::uint8_t>(data[1]), data.substr(2)};
}

IdListPtr emptyIdList()
{
    ItemIdList* list = ILAlloc(2);
    if (list)
        list->cb[0] = list->cb[1] = 0;
    return IdListPtr(list);
}

IdListPtr makeRecord(IdKind kind, std::uint8_t flags, std::string_view payload)
{
    std::string data;
    data.reserve(2 + payload.size());
    data.push_back(static_cast<char>(kind));
    data.push_back(static_cast<char>(flags));
    data.append(payload);
    return IdListPtr(ILCreateFromData(data));
}

IdListPtr makeEntryRecord(std::string_view name, std::uint8_t flags)
{
    return makeRecord(IdKind::Entry, flags, name);
}

std::uint32_t validateNamespaceIdList(const void* buffer, std::size_t bufferSize)
{
    const std::uint32_t size = ILValidate(buffer, bufferSize);
    if (size == 0)
        return 0;
    for (auto* id = static_cast<const ItemIdList*>(buffer); ILIdSize(id) != 0; id = ILGetNext(id)) {
        if (!isWellFormedRecord(ILIdData(id)))
            return 0;
    }
    return size;
}

} // namespace dw::platform
