// SPDX-License-Identifier: MIT
// What reading another program's drag data costs the window's thread
// (DroppedItemsOf, as a drag enters a view): data made to cost more than
// its size, each beside plain data of the same size (items of one name
// each under the home folder, or ordinary file URLs), side by side in one
// run. Items under a common parent stand for more than the block holds
// (each is the parent's ids followed by its own); where they do, the plain
// data is as large as what they stand for. Each reading runs in a child process that is stopped after --limit
// seconds, so a reader that does not end shows as such, and the child's
// peak resident memory above what it shares with us at its start tells
// what the reading took.
//
// Prints, per case, the medians of interleaved runs and their ratios.
//
//   dw_bench_drag_data [--runs N] [--limit SECONDS]

#include "bench/support/BenchArguments.h"
#include "bench/support/TimedChild.h"
#include "platform/dragdata/IdListArray.h"
#include "platform/dragdata/UriList.h"
#include "platform/namespace/IdRecord.h"
#include "shell/dragdrop/StDataObject.h"
#include "shell/dragdrop/StDragData.h"

#include <QMimeData>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace dw::platform;

namespace {

struct Data {
    QString format;
    std::string bytes;
};

std::string word(std::uint32_t value)
{
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char((value >> (8 * i)) & 0xFF);
    return bytes;
}

const std::string kEnd(2, '\0');

std::string entryId(const std::string& name)
{
    const IdListPtr list = makeEntryRecord(name, ENTRY_DIRECTORY);
    return std::string(reinterpret_cast<const char*>(list.get()), ILIdSize(list.get()));
}

std::string homeId()
{
    const IdListPtr list = makeRecord(IdKind::Home);
    return std::string(reinterpret_cast<const char*>(list.get()), ILIdSize(list.get()));
}

// Entry ids of `nameLength` bytes each, `count` of them, then the terminator.
std::string entryChain(std::size_t count, std::size_t nameLength)
{
    const std::string id = entryId(std::string(nameLength, 'n'));
    std::string chain;
    chain.reserve(count * id.size() + 2);
    for (std::size_t i = 0; i < count; ++i)
        chain += id;
    return chain + kEnd;
}

// A block whose items all name the list at the same offset.
std::string oneListNamedByAll(std::uint32_t count, std::size_t blockBytes)
{
    const std::size_t header = 4 * (std::size_t(count) + 2);
    std::string block = word(count) + word(std::uint32_t(header));
    for (std::uint32_t i = 0; i < count; ++i)
        block += word(std::uint32_t(header + kEnd.size()));
    const std::size_t room = blockBytes - header - kEnd.size() - kEnd.size();
    return block + kEnd + entryChain(room / 259, 255);
}

// A block of `count` items, each `children[i]`, under `parent`.
std::string blockOf(const std::string& parent, const std::vector<std::string>& children)
{
    const auto count = std::uint32_t(children.size());
    std::uint32_t at = 4 * (count + 2);
    std::string header = word(count) + word(at);
    at += std::uint32_t(parent.size());
    for (const std::string& child : children) {
        header += word(at);
        at += std::uint32_t(child.size());
    }
    std::string block = header + parent;
    for (const std::string& child : children)
        block += child;
    return block;
}

// Plain data of about `bytes` bytes: items of one name each under home.
Data plainIdListArrayOf(std::size_t bytes)
{
    const std::size_t count = std::clamp<std::size_t>(bytes / 256, 1, kMaxIdListArrayItems);
    const std::size_t nameLength = std::min<std::size_t>(255, bytes / count - 4 - 4 - 2);
    std::vector<std::string> children;
    for (std::size_t i = 0; i < count; ++i) {
        std::string name = std::to_string(i);
        name.resize(nameLength, 'n');
        children.push_back(entryId(name) + kEnd);
    }
    return {TStDataObject::IdListArrayMimeType(), blockOf(homeId() + kEnd, children)};
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

// URLs that name "/a" through thousands of repeated slashes.
std::string slashRuns()
{
    const std::string line = "file://" + std::string(4000, '/') + "a\r\n";
    std::string list;
    while (list.size() + line.size() <= kMaxUriListBytes)
        list += line;
    return list;
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
         [=] { return Data{idListArray, blockOf(homeId() + kEnd, {entryChain(16000, 1)})}; }},
        {"3,200 items under a parent 1,000 ids deep",
         [=] {
             return Data{idListArray,
                         blockOf(homeId() + entryChain(1000, 1), std::vector<std::string>(3200, entryChain(1, 8)))};
         },
         false, 3200 * (4 + 1000 * 5 + 12 + 2)},
        {"16 MiB uri-list, 4,000 slashes a line", [] { return Data{QStringLiteral("text/uri-list"), slashRuns()}; },
         true},
    };
}

// Reads `data` once in a child process stopped after `limitSeconds`.
bench::ChildRun readInChild(const Data& data, unsigned limitSeconds)
{
    QMimeData mime;
    mime.setData(data.format, QByteArray(data.bytes.data(), qsizetype(data.bytes.size())));
    return bench::runInChild([&] { DroppedItemsOf(mime); }, limitSeconds);
}

std::string secondsText(double seconds, bool finished)
{
    char text[32];
    std::snprintf(text, sizeof text, "%s%9.4f s", finished ? " " : ">", seconds);
    return text;
}

void compare(const Case& item, int runs, unsigned limitSeconds)
{
    const Data data = item.make();
    const std::size_t plainBytes = std::max(data.bytes.size(), item.standsFor);
    const Data plain = item.uriList ? plainUriListOf(plainBytes) : plainIdListArrayOf(plainBytes);
    std::vector<double> times, plainTimes, peaks, plainPeaks;
    bool finished = true;
    for (int run = 0; run < runs; ++run) {
        for (int turn = 0; turn < 2; ++turn) {
            const bool plainTurn = (run + turn) % 2 == 1;
            const bench::ChildRun reading = readInChild(plainTurn ? plain : data, limitSeconds);
            (plainTurn ? plainTimes : times).push_back(reading.seconds);
            (plainTurn ? plainPeaks : peaks).push_back(reading.addedMib);
            if (!plainTurn)
                finished = finished && reading.finished;
        }
    }
    using bench::median;
    std::printf("%-44s %s  plain %s  ratio %s%8.1f   peak %7.1f MiB  plain %7.1f MiB\n", item.what.c_str(),
                secondsText(median(times), finished).c_str(), secondsText(median(plainTimes), true).c_str(),
                finished ? " " : ">", median(times) / median(plainTimes), median(peaks), median(plainPeaks));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = bench::argument(argc, argv, "--runs", 5);
    const auto limitSeconds = unsigned(bench::argument(argc, argv, "--limit", 30));
    std::printf("median of %d interleaved runs each, beside plain data of the same size; "
                "a reading is stopped after %u s\n",
                runs, limitSeconds);
    // The namespace is made once here, not in every child.
    DroppedItemsOf(QMimeData());
    for (const Case& item : cases())
        compare(item, runs, limitSeconds);
    return 0;
}
