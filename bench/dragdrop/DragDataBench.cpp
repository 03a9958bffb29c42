// SPDX-License-Identifier: MIT
// What reading another program's drag data costs the window's thread
// (DroppedItemsOf, as a drag enters a view): data made to cost more than
// its size, each beside plain data of the same size (items of one name
// each under the home folder, or ordinary file URLs), side by side in one
// run. Items under a common parent stand for more than the block holds
// (each is the parent's ids followed by its own); where they do, the plain
// data is as large as what they stand for. Each reading runs in a child
// process stopped after --limit seconds (bench/support/TimedChild.h).
//
// Prints, per case, the medians of interleaved runs and their ratios.
//
//   dw_bench_drag_data [--runs N] [--limit SECONDS]

#include "bench/support/BenchArguments.h"
#include "bench/support/DragDataShapes.h"
#include "bench/support/TimedChild.h"
#include "platform/dragdata/IdListArray.h"
#include "platform/dragdata/UriList.h"
#include "shell/dragdrop/StDataObject.h"
#include "shell/dragdrop/StDragData.h"

#include <QMimeData>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace dw::platform;
using namespace bench;

namespace {

struct Data {
    QString format;
    std::string bytes;
};

// Plain data of about `bytes` bytes: items of one name each under home.
Data plainIdListArrayOf(std::size_t bytes)
{
    const std::size_t count = std::clamp<std::size_t>(bytes / 256, 1, kMaxIdListArrayItems);
    const std::size_t nameLength = std::min<std::size_t>(255, bytes / count - 4 - 4 - 2);
    std::vector<std::string> children;
    for (std::size_t i = 0; i < count; ++i) {
        std::string name = std::to_string(i);
        name.resize(nameLength, 'n');
        children.push_back(entryId(name) + kIdListEnd);
    }
    return {TStDataObject::IdListArrayMimeType(), blockOf(homeId() + kIdListEnd, children)};
}

// Ordinary file URLs, long enough that the list stays within its entries.
Data plainUriListOf(std::size_t bytes)
{
    const std::size_t nameLength = std::max<std::size_t>(60, bytes / kMaxUriListEntries);
    std::string list;
    for (std::size_t i = 0; list.size() + nameLength + 40 < bytes; ++i)
        list += "file:///home/ann/Calendars/" + std::to_string(i) + std::string(nameLength, 'c') + ".dw2\r\n";
    return {QStringLiteral("text/uri-list"), list};
}

struct Case {
    std::string what;
    std::function<Data()> make;
    bool uriList = false;
    std::size_t standsFor = 0; // bytes of the absolute lists the items stand for, when over the block's size
};

std::vector<Case> cases()
{
    const QString idListArray = TStDataObject::IdListArrayMimeType();
    return {
        {"16 MiB, 256 items naming one list",
         [=] { return Data{idListArray, oneListNamedByAll(256, kMaxIdListArrayBytes)}; }},
        {"16 MiB, 65,536 items naming one list",
         [=] { return Data{idListArray, oneListNamedByAll(65536, kMaxIdListArrayBytes)}; }},
        {"one item 16,000 ids deep (80 KB)",
         [=] { return Data{idListArray, blockOf(homeId() + kIdListEnd, {entryChain(16000, 1)})}; }},
        {"3,200 items under a parent 1,000 ids deep",
         [=] {
             return Data{idListArray,
                         blockOf(homeId() + entryChain(1000, 1), std::vector<std::string>(3200, entryChain(1, 8)))};
         },
         false, 3200 * (4 + 1000 * 5 + 12 + 2)},
        {"16 MiB uri-list, 4,000 slashes a line",
         [] { return Data{QStringLiteral("text/uri-list"), slashRuns(kMaxUriListBytes)}; }, true},
    };
}

void compare(const Case& item, int runs, unsigned limitSeconds)
{
    const Data data = item.make();
    const std::size_t plainBytes = std::max(data.bytes.size(), item.standsFor);
    const Data plain = item.uriList ? plainUriListOf(plainBytes) : plainIdListArrayOf(plainBytes);
    QMimeData dataMime;
    dataMime.setData(data.format, QByteArray(data.bytes.data(), qsizetype(data.bytes.size())));
    QMimeData plainMime;
    plainMime.setData(plain.format, QByteArray(plain.bytes.data(), qsizetype(plain.bytes.size())));
    printSideBySide(item.what, runSideBySide([&] { DroppedItemsOf(dataMime); }, [&] { DroppedItemsOf(plainMime); },
                                             runs, limitSeconds));
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argument(argc, argv, "--runs", 5);
    const auto limitSeconds = unsigned(argument(argc, argv, "--limit", 30));
    std::printf("median of %d interleaved runs each, beside plain data of the same size; "
                "a reading is stopped after %u s\n",
                runs, limitSeconds);
    // The namespace is made once here, not in every child.
    DroppedItemsOf(QMimeData());
    for (const Case& item : cases())
        compare(item, runs, limitSeconds);
    return 0;
}
