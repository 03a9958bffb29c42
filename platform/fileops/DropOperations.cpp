// SPDX-License-Identifier: MIT
#include "platform/fileops/DropOperations.h"

#include "platform/fileops/FileOperations.h"
#include "platform/fileops/FileTransfer.h"
#include "platform/fileops/TransferProgress.h"
#include "platform/namespace/ChangeReport.h"
#include "platform/namespace/DisplayText.h"
#include "platform/namespace/FileSystemAccess.h"
#include "platform/namespace/IdRecord.h"
#include "platform/namespace/ShellErrors.h"
#include "platform/namespace/ShellNamespace.h"

namespace dw::platform {

namespace {

// Another program may take the free name between our look and our
// creation; then the next free name is tried.
constexpr int kNameAttempts = 3;

const char* verbOf(unsigned effect)
{
    return effect == DROPEFFECT_MOVE ? "move" : effect == DROPEFFECT_LINK ? "link" : "copy";
}

std::string titleOf(unsigned effect)
{
    std::string title = verbOf(effect);
    title.front() = static_cast<char>(title.front() - 'a' + 'A');
    return title;
}

std::string quotedName(const std::string& path)
{
    return "\"" + displayTextFromBytes(baseNameOf(path)) + "\"";
}

bool isRealFolder(const std::string& path)
{
    const auto flags = entryFlags(path);
    return flags && (*flags & ENTRY_DIRECTORY) && !(*flags & ENTRY_SYMLINK);
}

// Runs the items one after another; a failed item leaves its source as it
// was and the next one is still tried. Stops between items when cancelled.
// Each item moves the progress by what it was measured at, whatever it did.
class ItemByItemOperation : public IDropOperation {
public:
    ItemByItemOperation(std::vector<std::string> paths, std::string title)
        : paths_(std::move(paths)), title_(std::move(title))
    {
    }

    DropOutcome Run(TransferProgress& progress) override
    {
        DropOutcome outcome;
        outcome.title = title_;
        progress.setItemCount(paths_.size());
        const std::vector<std::uint64_t> units = measure(progress);
        for (std::size_t index = 0; index < paths_.size() && !outcome.cancelled; ++index)
            note(outcome, paths_[index], runItem(index, units[index], progress));
        return outcome;
    }

protected:
    virtual std::uint64_t unitsOf(const std::string& path, const TransferProgress& progress) const = 0;
    virtual HResult transfer(const std::string& path, TransferProgress& progress) = 0;
    virtual std::string failureSentence(const std::string& path, HResult result) const = 0;

private:
    std::vector<std::uint64_t> measure(TransferProgress& progress) const
    {
        progress.setMeasuring(true);
        std::vector<std::uint64_t> units;
        for (const std::string& path : paths_) {
            units.push_back(unitsOf(path, progress));
            progress.addToTotal(units.back());
        }
        progress.setMeasuring(false);
        return units;
    }

    HResult runItem(std::size_t index, std::uint64_t units, TransferProgress& progress)
    {
        const std::string& path = paths_[index];
        progress.startItem(index + 1, displayTextFromBytes(baseNameOf(path)));
        const std::uint64_t doneBefore = progress.snapshot().done;
        const HResult result = progress.cancelRequested() ? E_ABORT : transfer(path, progress);
        const std::uint64_t doneAfter = progress.snapshot().done;
        if (doneBefore + units > doneAfter)
            progress.advance(doneBefore + units - doneAfter);
        return result;
    }

    void note(DropOutcome& outcome, const std::string& path, HResult result) const
    {
        if (result == E_ABORT)
            outcome.cancelled = true;
        else if (failed(result))
            outcome.notDone.push_back(failureSentence(path, result));
        if (failed(result) && succeeded(outcome.result))
            outcome.result = result;
    }

    std::vector<std::string> paths_;
    std::string title_;
};

class FolderDropOperation : public ItemByItemOperation {
public:
    FolderDropOperation(std::string folderPath, std::vector<std::string> paths, unsigned effect)
        : ItemByItemOperation(std::move(paths), titleOf(effect)), folderPath_(std::move(folderPath)), effect_(effect)
    {
    }

private:
    // Only what will be copied has a size worth showing: renames and links
    // are done at once.
    std::uint64_t unitsOf(const std::string& path, const TransferProgress& progress) const override
    {
        const bool copies =
            effect_ == DROPEFFECT_COPY || (effect_ == DROPEFFECT_MOVE && !onSameVolume(path, folderPath_));
        return copies ? transferUnitsOf(path, &progress) : kUnitsPerEntry;
    }

    HResult transfer(const std::string& source, TransferProgress& progress) override
    {
        if (!entryFlags(source))
            return E_FILE_NOT_FOUND;
        if (isSameOrInside(folderPath_, source))
            return E_INSIDE_SOURCE;
        const bool folder = isRealFolder(source);
        const IdListPtr sourceList = parsingNameToIdList(source); // before it moves
        HResult result = E_ALREADY_EXISTS;
        std::string destination;
        for (int attempt = 0; attempt < kNameAttempts && result == E_ALREADY_EXISTS; ++attempt) {
            destination = joinPath(folderPath_, freeNameIn(folderPath_, baseNameOf(source)));
            result = transferTo(source, destination, progress);
        }
        if (const IdListPtr made = entryFlags(destination) ? parsingNameToIdList(destination) : nullptr)
            reportNamespaceChange(folder && effect_ != DROPEFFECT_LINK ? SHCNE_MKDIR : SHCNE_CREATE, made.get());
        if (effect_ == DROPEFFECT_MOVE && sourceList && !entryFlags(source))
            reportNamespaceChange(folder ? SHCNE_RMDIR : SHCNE_DELETE, sourceList.get());
        return result;
    }

    HResult transferTo(const std::string& source, const std::string& destination, TransferProgress& progress)
    {
        if (effect_ == DROPEFFECT_MOVE)
            return moveItem(source, destination, &progress);
        if (effect_ == DROPEFFECT_LINK)
            return linkItem(source, destination);
        return copyItem(source, destination, &progress);
    }

    std::string failureSentence(const std::string& path, HResult result) const override
    {
        return std::string("Could not ") + verbOf(effect_) + " " + quotedName(path) + ". " + shellErrorText(result);
    }

    std::string folderPath_;
    unsigned effect_;
};

class TrashDropOperation : public ItemByItemOperation {
public:
    explicit TrashDropOperation(std::vector<std::string> paths)
        : ItemByItemOperation(std::move(paths), "Move to Trash")
    {
    }

private:
    std::uint64_t unitsOf(const std::string&, const TransferProgress&) const override { return kUnitsPerEntry; }

    HResult transfer(const std::string& path, TransferProgress&) override
    {
        const IdListPtr item = parsingNameToIdList(path);
        return moveItemToTrash(item.get(), path);
    }

    std::string failureSentence(const std::string& path, HResult result) const override
    {
        return "Could not move " + quotedName(path) + " to the trash. " + shellErrorText(result);
    }
};

} // namespace

std::unique_ptr<IDropOperation> makeFolderDropOperation(std::string folderPath, std::vector<std::string> paths,
                                                        unsigned effect)
{
    return std::make_unique<FolderDropOperation>(std::move(folderPath), std::move(paths), effect);
}

std::unique_ptr<IDropOperation> makeTrashDropOperation(std::vector<std::string> paths)
{
    return std::make_unique<TrashDropOperation>(std::move(paths));
}

} // namespace dw::platform
