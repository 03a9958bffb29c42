// SPDX-License-Identifier: MIT
// shell-probe list PATH: the children of the folder PATH parses to, as the
// folder tree lists them with files and hidden items, in the namespace's
// order, one per line:
//
//   display name <TAB> parsing name <TAB> attributes (0x%08X) <TAB> drive type or "-"
//
// A folder that cannot be read prints the reason on standard error and
// exits with 1.

#include "ProbeCommand.h"
#include "ProbeOutput.h"

#include "platform/listing/ListingProducer.h"
#include "platform/namespace/ShellNamespace.h"
#include "shell/controller/StShellController.h"
#include "shell/items/StShellItem.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <deque>
#include <cstdio>

namespace {

using namespace dw::platform;

constexpr SfgaoFlags kListedAttributes = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_HIDDEN | SFGAO_LINK
    | SFGAO_HASSUBFOLDER | SFGAO_CANRENAME | SFGAO_COMPRESSED | SFGAO_SHARE;

std::string attributeText(const ChildRecord& record)
{
    char text[11];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(record.attributes & kListedAttributes));
    return text;
}

std::string driveText(const ChildRecord& record)
{
    const auto type = currentShellNamespace().volumeDriveType(record.absolute.get());
    return type ? driveTypeName(*type) : "-";
}

// Merges neighbouring sorted runs pairwise until one is left.
template <typename Before>
void mergeRuns(std::vector<const ChildRecord*>& order, std::vector<std::size_t> runs, Before before)
{
    while (runs.size() > 2) {
        std::vector<std::size_t> merged{0};
        for (std::size_t i = 0; i + 1 < runs.size(); i += 2) {
            const std::size_t end = i + 2 < runs.size() ? runs[i + 2] : runs[i + 1];
            std::inplace_merge(order.begin() + std::ptrdiff_t(runs[i]), order.begin() + std::ptrdiff_t(runs[i + 1]),
                               order.begin() + std::ptrdiff_t(end), before);
            merged.push_back(end);
        }
        runs = std::move(merged);
    }
}

// Batches from the worker, taken in order on this thread.
class BatchQueue {
public:
    void push(ListingBatch&& batch)
    {
        std::lock_guard lock(mutex_);
        batches_.push_back(std::move(batch));
        arrived_.notify_one();
    }

    ListingBatch pop()
    {
        std::unique_lock lock(mutex_);
        arrived_.wait(lock, [this] { return !batches_.empty(); });
        ListingBatch batch = std::move(batches_.front());
        batches_.pop_front();
        return batch;
    }

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<ListingBatch> batches_;
};

int runList(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    if (arguments.size() != 1) {
        err << "usage: shell-probe list PATH\n";
        return 2;
    }
    const IdListPtr list = parsingNameToIdList(arguments[0]);
    if (!list) {
        err << invalidFolderText() << "\n";
        return 1;
    }
    TStCustomShellController controller;
    ListingRequest request;
    request.folder = shareIdList(IdListPtr(ILClone(list.get())));
    request.flags = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN;
    request.attributes = kListedAttributes;
    request.probeChildren = true;
    request.icons = false;
    // The folder is read on the producer's worker while this thread sorts
    // each batch as it comes; the sorted batches are merged at the end.
    BatchQueue queue;
    ListingProducer::instance().start(request, [&queue](ListingBatch&& batch) { queue.push(std::move(batch)); });
    IShellFolder& desktop = *controller.GetDesktopFolder();
    const auto before = [&](const ChildRecord* a, const ChildRecord* b) { return compareSiblings(*a, *b, desktop) < 0; };
    std::deque<ChildRecord> records; // stays in place as it grows
    std::vector<const ChildRecord*> order;
    std::vector<std::size_t> runs{0}; // where each sorted batch begins
    ListingBatch outcome;
    for (;;) {
        ListingBatch batch = queue.pop();
        for (ChildRecord& record : batch.records) {
            records.push_back(std::move(record));
            order.push_back(&records.back());
        }
        std::sort(order.begin() + std::ptrdiff_t(runs.back()), order.end(), before);
        runs.push_back(order.size());
        if (batch.last) {
            outcome = std::move(batch);
            break;
        }
    }
    mergeRuns(order, runs, before);
    std::string line;
    for (const ChildRecord* record : order) {
        line = TStShellItem::ShownName(record->parsingName, record->displayName);
        line += '\t';
        line += escapedBytes(record->parsingName);
        line += '\t';
        line += attributeText(*record);
        line += '\t';
        line += driveText(*record);
        line += '\n';
        out.write(line.data(), static_cast<std::streamsize>(line.size()));
    }
    if (failed(outcome.result)) {
        err << escapedBytes(arguments[0]) << ": " << outcome.errorText << "\n";
        return 1;
    }
    return 0;
}

const ProbeCommandRegistration registration{"list", "PATH", "the children of the folder PATH, one per line",
                                            runList};

} // namespace
