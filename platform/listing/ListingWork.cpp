// SPDX-License-Identifier: MIT
#include "platform/listing/ListingWork.h"

#include "platform/fileinfo/FileInfo.h"
#include "platform/fileinfo/FileTypes.h"
#include "platform/namespace/ShellErrors.h"
#include "platform/namespace/ShellNamespace.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <cstring>

namespace dw::platform {

namespace {

using Clock = std::chrono::steady_clock;

bool isCancelled(const std::atomic<bool>* cancelled)
{
    return cancelled && cancelled->load(std::memory_order_relaxed);
}

ShellFolderPtr bindFolder(IShellNamespace& space, const ListingRequest& request)
{
    if (request.boundFolder)
        return request.boundFolder;
    ShellFolderPtr desktop = space.desktopFolder();
    if (!desktop || ILIdSize(request.folder.get()) == 0)
        return desktop;
    ShellFolderPtr folder;
    if (failed(desktop->BindToObject(request.folder.get(), folder)))
        return nullptr;
    return folder;
}

// Icons as the controller's icon query gives them: the item's icon, its
// open icon for folders, and the overlay (shared before link).
void fillIcons(IShellFolder& parent, ChildRecord& record)
{
    const ItemIdList* relative = record.relative();
    record.iconIndex = SystemImageList::indexOf(iconKeyOf(parent, relative, record.attributes, false));
    record.openIconIndex = (record.attributes & SFGAO_FOLDER)
        ? SystemImageList::indexOf(iconKeyOf(parent, relative, record.attributes, true))
        : record.iconIndex;
    if (record.attributes & SFGAO_SHARE)
        record.overlayIndex = 0;
    else if (record.attributes & SFGAO_LINK)
        record.overlayIndex = 1;
}

ChildRecord makeRecord(const ListingRequest& request, const ShellFolderPtr& folder, ChildFacts&& facts)
{
    ChildRecord record;
    record.absolute = combineShared(request.folder.get(), facts.relative.get());
    record.parent = folder;
    record.displayName = std::move(facts.displayName);
    record.parsingName = std::move(facts.parsingName);
    record.attributes = facts.attributes;
    record.knownAttributes = kKindAttributes | request.attributes;
    record.type = facts.type;
    record.hasChildren = facts.hasChildren;
    record.childrenError = facts.childrenError;
    record.sortKey = std::move(facts.sortKey);
    record.file = facts.file;
    if (request.icons)
        fillIcons(*folder, record);
    const bool file = (record.attributes & SFGAO_FILESYSTEM) && !(record.attributes & SFGAO_FOLDER);
    if (request.typeNames && file)
        record.typeIndex = fileTypeOfName(record.parsingName).typeIndex;
    return record;
}

EntryType typeFromAttributes(SfgaoFlags attributes)
{
    if (attributes & SFGAO_FOLDER)
        return EntryType::Directory;
    return (attributes & SFGAO_FILESYSTEM) ? EntryType::Regular : EntryType::Virtual;
}

// One child's facts through the folder's calls; nothing when it is gone.
std::optional<ChildFacts> factsOfChild(IShellFolder& folder, const ListingRequest& request, const ItemIdList* relative)
{
    ChildFacts child;
    child.relative = IdListPtr(ILClone(relative));
    SfgaoFlags attributes = request.attributes | kKindAttributes | SFGAO_HIDDEN | SFGAO_VALIDATE;
    if (failed(folder.GetAttributesOf({relative}, attributes)))
        return std::nullopt;
    // What the request's flags would not have listed is left out too.
    const bool selected = (attributes & SFGAO_FOLDER) ? (request.flags & SHCONTF_FOLDERS)
                                                      : (request.flags & SHCONTF_NONFOLDERS);
    if (!selected || ((attributes & SFGAO_HIDDEN) && !(request.flags & SHCONTF_INCLUDEHIDDEN)))
        return std::nullopt;
    child.attributes = attributes & (request.attributes | kKindAttributes);
    child.type = typeFromAttributes(attributes);
    folder.GetDisplayNameOf(relative, SHGDN_NORMAL, child.displayName);
    folder.GetDisplayNameOf(relative, SHGDN_FORPARSING, child.parsingName);
    FindData data;
    if (request.fileFacts && (attributes & SFGAO_FILESYSTEM) && succeeded(folder.GetFindData(relative, data))) {
        const bool directory = (data.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        child.file = ChildFileFacts{directory ? 0 : data.size, data.lastWriteSeconds, data.lastWriteNanoseconds,
                                    data.attributes};
    }
    return child;
}

// Records in their keys' order, while the worker has them: the view then
// merges sorted runs instead of sorting on its own thread. Records without
// keys (virtual folders) keep the folder's order.
void sortByKeys(std::vector<ChildRecord>& records)
{
    const bool keyed = std::all_of(records.begin(), records.end(), [](const ChildRecord& r) { return r.sortKey.has_value(); });
    if (keyed)
        std::sort(records.begin(), records.end(),
                  [](const ChildRecord& a, const ChildRecord& b) { return a.sortKey->compare(*b.sortKey) < 0; });
}

class Batcher {
public:
    Batcher(const ListingRequest& request, const BatchSink& sink) : request_(request), sink_(sink)
    {
        batch_.records.reserve(request_.batchSize);
    }

    void add(ChildRecord&& record)
    {
        batch_.records.push_back(std::move(record));
        if (batch_.records.size() >= request_.batchSize || Clock::now() - lastSent_ >= request_.batchInterval)
            send();
    }

    void finish(HResult result, int error)
    {
        batch_.last = true;
        batch_.result = result;
        batch_.error = error;
        if (failed(result))
            batch_.errorText = listingErrorText(result, error);
        send();
    }

private:
    void send()
    {
        if (request_.sortedBatches)
            sortByKeys(batch_.records);
        sink_(std::move(batch_));
        batch_ = ListingBatch{};
        batch_.records.reserve(request_.batchSize);
        lastSent_ = Clock::now();
    }

    const ListingRequest& request_;
    const BatchSink& sink_;
    ListingBatch batch_;
    Clock::time_point lastSent_ = Clock::now();
};

} // namespace

std::string listingErrorText(HResult result, int error)
{
    if (error != 0) {
        // The C library's own wording, not translated: views show it as is.
        if (const char* text = ::strerrordesc_np(error))
            return text;
    }
    return shellErrorText(result);
}

void runListing(const ListingRequest& request, IShellNamespace& space, const std::atomic<bool>* cancelled,
                const BatchSink& sink)
{
    Batcher batcher(request, sink);
    const ShellFolderPtr folder = bindFolder(space, request);
    if (!folder) {
        batcher.finish(E_FILE_NOT_FOUND, ENOENT);
        return;
    }
    ListingOptions options;
    options.flags = request.flags;
    options.attributes = request.attributes;
    options.probeChildren = request.probeChildren;
    options.probeLimit = request.probeLimit;
    options.fileFacts = request.fileFacts;
    options.cancelled = cancelled;
    options.driveTypeOf = [&space](const ItemIdList* absolute) { return space.driveTypeOf(absolute); };
    const ListingOutcome outcome = folder->ListChildren(options, [&](ChildFacts&& facts) {
        batcher.add(makeRecord(request, folder, std::move(facts)));
        return !isCancelled(cancelled);
    });
    if (!isCancelled(cancelled))
        batcher.finish(outcome.result, outcome.error);
}

std::vector<ChildRecord> readChildRecords(const ListingRequest& request, IShellNamespace& space,
                                          const std::vector<IdListPtr>& relatives)
{
    std::vector<ChildRecord> records;
    const ShellFolderPtr folder = bindFolder(space, request);
    if (!folder)
        return records;
    for (const IdListPtr& relative : relatives) {
        if (std::optional<ChildFacts> facts = factsOfChild(*folder, request, relative.get()))
            records.push_back(makeRecord(request, folder, std::move(*facts)));
    }
    return records;
}

} // namespace dw::platform
