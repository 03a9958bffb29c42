// SPDX-License-Identifier: MIT
#pragma once
// Drag data of the shapes that cost a careless reader more than their size,
// and the pieces to build them: for the drag-data benchmark and the seeds of
// the drag-data fuzzer. Blocks follow platform/dragdata/IdListArray.h.

#include "platform/dragdata/UriList.h"
#include "platform/idlist/IdList.h"
#include "platform/namespace/IdRecord.h"

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

inline const std::string kIdListEnd(2, '\0');

// A 32-bit little-endian number, as block headers hold them.
inline std::string word(std::uint32_t value)
{
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char((value >> (8 * i)) & 0xFF);
    return bytes;
}

// The bytes of the first id of `list`, without a terminator.
inline std::string idBytes(const dw::platform::ItemIdList* list)
{
    return std::string(reinterpret_cast<const char*>(list), dw::platform::ILIdSize(list));
}

inline std::string entryId(const std::string& name)
{
    return idBytes(dw::platform::makeEntryRecord(name, dw::platform::ENTRY_DIRECTORY).get());
}

inline std::string homeId()
{
    return idBytes(dw::platform::makeRecord(dw::platform::IdKind::Home).get());
}

// `count` entry ids with names of `nameLength` bytes, then the terminator.
inline std::string entryChain(std::size_t count, std::size_t nameLength)
{
    const std::string id = entryId(std::string(nameLength, 'n'));
    std::string chain;
    chain.reserve(count * id.size() + kIdListEnd.size());
    for (std::size_t i = 0; i < count; ++i)
        chain += id;
    return chain + kIdListEnd;
}

// A block of the `children` lists under `parent`, laid out one after the other.
inline std::string blockOf(const std::string& parent, const std::vector<std::string>& children)
{
    const auto count = std::uint32_t(children.size());
    std::uint32_t at = 4 * (count + 2);
    std::string block = word(count) + word(at);
    at += std::uint32_t(parent.size());
    for (const std::string& child : children) {
        block += word(at);
        at += std::uint32_t(child.size());
    }
    block += parent;
    for (const std::string& child : children)
        block += child;
    return block;
}

// A block of `blockBytes` or a little less: an empty parent, then one list
// of the longest names filling the rest, which every one of `count` items
// names.
inline std::string oneListNamedByAll(std::uint32_t count, std::size_t blockBytes)
{
    const std::size_t header = 4 * (std::size_t(count) + 2);
    std::string block = word(count) + word(std::uint32_t(header));
    for (std::uint32_t i = 0; i < count; ++i)
        block += word(std::uint32_t(header + kIdListEnd.size()));
    const std::size_t room = blockBytes - header - 2 * kIdListEnd.size();
    return block + kIdListEnd + entryChain(room / entryId(std::string(255, 'n')).size(), 255);
}

// A text/uri-list of at most `bytes` bytes whose URLs name "/a" through
// 4,000 slashes each.
inline std::string slashRuns(std::size_t bytes)
{
    const std::string line = "file://" + std::string(4000, '/') + "a\r\n";
    std::string list;
    while (list.size() + line.size() <= bytes)
        list += line;
    return list;
}

} // namespace bench
