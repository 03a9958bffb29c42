// SPDX-License-Identifier: MIT
// Writes the seeds of drag-data-fuzzer into a folder: drag data as this
// program and others write it, and data made to cost more than its size
// (every offset naming one long list, lists thousands of ids deep, a long
// parent under many items, URLs of nothing but slashes). The largest are
// 16 MiB; libFuzzer reads seeds only up to -max_len (1 MiB unless given),
// so the same shapes come in 1 MiB too.
//
//   drag-data-seeds CORPUS_DIR

#include "platform/dragdata/IdListArray.h"
#include "platform/dragdata/UriList.h"
#include "platform/namespace/IdRecord.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace dw::platform;

namespace {

const std::string kEnd(2, '\0');

std::string word(std::uint32_t value)
{
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char((value >> (8 * i)) & 0xFF);
    return bytes;
}

std::string idBytes(const IdListPtr& list)
{
    return std::string(reinterpret_cast<const char*>(list.get()), ILIdSize(list.get()));
}

IdListPtr below(const IdListPtr& list, std::initializer_list<const char*> names)
{
    IdListPtr path = cloneIdList(list.get());
    for (const char* name : names)
        path.reset(ILCombine(path.get(), makeEntryRecord(name, ENTRY_DIRECTORY).get()));
    return path;
}

// `count` entry ids with names of `nameLength` bytes, then the terminator.
std::string entryChain(std::size_t count, std::size_t nameLength)
{
    const std::string id = idBytes(makeEntryRecord(std::string(nameLength, 'n'), ENTRY_DIRECTORY));
    std::string chain;
    for (std::size_t i = 0; i < count; ++i)
        chain += id;
    return chain + kEnd;
}

// `count` items under `parent`, each list laid out after the other.
std::string blockOf(const std::string& parent, const std::vector<std::string>& children)
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

// An empty parent, then one list filling the block, named by every item.
std::string oneListNamedByAll(std::uint32_t count, std::size_t blockBytes)
{
    const std::size_t header = 4 * (std::size_t(count) + 2);
    std::string block = word(count) + word(std::uint32_t(header));
    for (std::uint32_t i = 0; i < count; ++i)
        block += word(std::uint32_t(header + kEnd.size()));
    return block + kEnd + entryChain((blockBytes - header - 2 * kEnd.size()) / 259, 255);
}

std::string slashRuns(std::size_t bytes)
{
    const std::string line = "file://" + std::string(4000, '/') + "a\r\n";
    std::string list;
    while (list.size() + line.size() <= bytes)
        list += line;
    return list;
}

bool writeSeed(const std::filesystem::path& folder, const std::string& name, const std::string& bytes)
{
    std::ofstream out(folder / name, std::ios::binary);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    return bool(out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: drag-data-seeds CORPUS_DIR\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    const IdListPtr home = makeRecord(IdKind::Home);
    const IdListPtr volume(ILCombine(makeRecord(IdKind::Computer).get(), makeRecord(IdKind::Volume, 2, "/mnt/usb").get()));
    const IdListPtr cal = below(home, {"Cal"});
    const IdListPtr deep = below(home, {"Cal", "2024", "deep"});
    const IdListPtr other = below(home, {"Cal", "other"});
    const IdListPtr onVolume = below(volume, {"Kalender \xC3\xA9t\xC3\xA9"});
    const std::string homeParent = idBytes(home) + kEnd;
    const std::vector<std::pair<std::string, std::string>> seeds = {
        {"one-folder", encodeIdListArrayOf({cal.get()})},
        {"items-at-two-depths", encodeIdListArrayOf({deep.get(), other.get()})},
        {"item-on-a-volume", encodeIdListArrayOf({onVolume.get(), cal.get()})},
        {"two-items-one-list", word(2) + word(16) + word(18) + word(18) + kEnd + idBytes(cal) + kEnd + std::string(9, ' ')},
        {"uri-list", "# from a file manager\r\nfile:///home/ann/a.dw2\r\nfile://localhost/home/ann/Cal%20x/\r\n"},
        {"one-list-named-by-65536-items-1mib", oneListNamedByAll(65536, 1u << 20)},
        {"one-list-named-by-65536-items-16mib", oneListNamedByAll(65536, kMaxIdListArrayBytes)},
        {"one-list-named-by-256-items-16mib", oneListNamedByAll(256, kMaxIdListArrayBytes)},
        {"one-item-16000-ids-deep", blockOf(homeParent, {entryChain(16000, 1)})},
        {"3200-items-under-a-parent-1000-ids-deep",
         blockOf(idBytes(home) + entryChain(1000, 1), std::vector<std::string>(3200, entryChain(1, 8)))},
        {"uri-list-of-slashes-1mib", slashRuns(1u << 20)},
        {"uri-list-of-slashes-16mib", slashRuns(kMaxUriListBytes)},
    };
    for (const auto& [name, bytes] : seeds) {
        if (!writeSeed(folder, name, bytes)) {
            std::fprintf(stderr, "drag-data-seeds: cannot write %s\n", (folder / name).c_str());
            return 1;
        }
    }
    return 0;
}
