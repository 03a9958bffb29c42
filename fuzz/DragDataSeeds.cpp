// SPDX-License-Identifier: MIT
// Writes the seeds of drag-data-fuzzer into a folder: drag data as this
// program and others write it, and data made to cost more than its size
// (every offset naming one long list, lists thousands of ids deep, a long
// parent under many items, URLs of nothing but slashes). The largest are
// 16 MiB; libFuzzer reads seeds only up to -max_len (1 MiB unless given),
// so the same shapes come in 1 MiB too.
//
//   drag-data-seeds CORPUS_DIR

#include "bench/support/DragDataShapes.h"
#include "platform/dragdata/IdListArray.h"
#include "platform/dragdata/UriList.h"
#include "platform/namespace/IdRecord.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace dw::platform;
using namespace bench;

namespace {

IdListPtr below(const IdListPtr& list, std::initializer_list<const char*> names)
{
    IdListPtr path = cloneIdList(list.get());
    for (const char* name : names)
        path.reset(ILCombine(path.get(), makeEntryRecord(name, ENTRY_DIRECTORY).get()));
    return path;
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
    const std::string homeParent = idBytes(home.get()) + kIdListEnd;
    const std::vector<std::pair<std::string, std::string>> seeds = {
        {"one-folder", encodeIdListArrayOf({cal.get()})},
        {"items-at-two-depths", encodeIdListArrayOf({deep.get(), other.get()})},
        {"item-on-a-volume", encodeIdListArrayOf({onVolume.get(), cal.get()})},
        {"two-items-one-list", word(2) + word(16) + word(18) + word(18) + kIdListEnd + idBytes(ILFindLastID(cal.get())) + kIdListEnd
             + std::string(9, ' ')},
        {"uri-list", "# from a file manager\r\nfile:///home/ann/a.dw2\r\nfile://localhost/home/ann/Cal%20x/\r\n"},
        {"one-list-named-by-65536-items-1mib", oneListNamedByAll(65536, 1u << 20)},
        {"one-list-named-by-65536-items-16mib", oneListNamedByAll(65536, kMaxIdListArrayBytes)},
        {"one-list-named-by-256-items-16mib", oneListNamedByAll(256, kMaxIdListArrayBytes)},
        {"one-item-16000-ids-deep", blockOf(homeParent, {entryChain(16000, 1)})},
        {"3200-items-under-a-parent-1000-ids-deep",
         blockOf(idBytes(home.get()) + entryChain(1000, 1), std::vector<std::string>(3200, entryChain(1, 8)))},
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
