// SPDX-License-Identifier: MIT
// A file-system folder lists its children in one pass over its entries:
// the directory read gives names and usually kinds, one statx per entry the
// rest, and a folder child is opened at most once to learn whether it has
// children. Volumes mounted on entries are known from the mount table and
// never touched: a network server that stopped answering must not hang the
// listing of the folder its share is mounted in.

#include "platform/namespace/FileSystemFolder.h"

#include "platform/namespace/DisplayText.h"
#include "platform/namespace/EntryStatus.h"
#include "platform/namespace/FileSystemAccess.h"
#include "platform/namespace/ShellErrors.h"
#include "platform/namespace/ShellNamespace.h"

#include <dirent.h>

namespace dw::platform {

namespace {

bool isSlowDrive(DriveType type)
{
    return type == DriveType::Removable || type == DriveType::CdRom || type == DriveType::Remote
        || type == DriveType::NoRootDir;
}

const Volume* mountedAt(const std::vector<Volume>& volumes, std::string_view path)
{
    for (const Volume& volume : volumes) {
        if (volume.mountPoint == path)
            return &volume;
    }
    return nullptr;
}

// What the mount table and the directory entry alone say of a volume's
// mount point: a folder that is not renamed, and not looked into.
EntryStatus mountPointStatus()
{
    EntryStatus status;
    status.type = EntryType::Directory;
    status.mountRoot = true;
    status.mode = 0755;
    return status;
}

EntryKind entryKindOf(const EntryStatus& status)
{
    if (status.type != EntryType::Directory)
        return EntryKind::File;
    return status.isLink ? EntryKind::FolderLink : EntryKind::Folder;
}

bool selected(ShcontfFlags flags, std::string_view name, const EntryStatus& status)
{
    if (name.front() == '.' && !(flags & SHCONTF_INCLUDEHIDDEN))
        return false;
    const bool folder = status.type == EntryType::Directory;
    return folder ? (flags & SHCONTF_FOLDERS) != 0 : (flags & SHCONTF_NONFOLDERS) != 0;
}

} // namespace

SfgaoFlags FileSystemFolder::entryAttributes(std::string_view name, const EntryStatus& status,
                                             bool folderWritable) const
{
    SfgaoFlags attributes = SFGAO_FILESYSTEM | SFGAO_CANCOPY | SFGAO_CANLINK | SFGAO_HASPROPSHEET;
    if (status.type == EntryType::Directory)
        attributes |= SFGAO_FOLDER | SFGAO_DROPTARGET;
    if (status.isLink)
        attributes |= SFGAO_LINK;
    if (name.front() == '.')
        attributes |= SFGAO_HIDDEN;
    if (folderWritable && !status.mountRoot)
        attributes |= SFGAO_CANRENAME | SFGAO_CANMOVE | SFGAO_CANDELETE;
    if (status.compressed)
        attributes |= SFGAO_COMPRESSED;
    return attributes;
}

ListingOutcome FileSystemFolder::ListChildren(const ListingOptions& options, const ChildSink& sink)
{
    EntryReader entries(path_);
    if (entries.error() != 0)
        return {resultFromErrno(entries.error()), entries.error()};
    // Taken before the entries are read: the watch that follows the listing
    // must learn of what changes while they are.
    const std::int64_t modifiedNs = modificationTimeNs(entries.fd());
    // Every entry, whatever the flags select, for the change source.
    std::optional<FolderListing> found;
    if (folderEnumerationObserved())
        found.emplace();
    const std::vector<Volume> mounted = context().volumesMountedIn(path_);
    const bool writable = isWritableFolder(path_);
    const bool probeHere = !isSlowDrive(driveType_);
    std::size_t probed = 0;

    const char* name = nullptr;
    unsigned char direntType = DT_UNKNOWN;
    while (!options.isCancelled() && entries.next(name, direntType)) {
        const std::string path = joinPath(path_, name);
        const Volume* volume = mounted.empty() ? nullptr : mountedAt(mounted, path);
        std::optional<EntryStatus> status = volume ? mountPointStatus() : statEntry(entries.fd(), name);
        if (status && found)
            found->emplace(name, entryKindOf(*status));
        if (!status || !selected(options.flags, name, *status))
            continue;
        ChildFacts child;
        child.relative = makeEntryRecord(name, entryFlagsOf(*status));
        const SfgaoFlags attributes = entryAttributes(name, *status, writable);
        child.type = status->type;
        child.displayName = displayTextFromBytes(name);
        child.parsingName = path;
        child.sortKey = ChildSortKey(status->type == EntryType::Directory ? 0 : 1, name);
        if (options.fileFacts)
            child.file = ChildFileFacts{status->size, status->lastWriteSeconds, status->lastWriteNanoseconds,
                                        findAttributesOf(*status, name)};
        SfgaoFlags subfolder = 0;
        if (options.probeChildren && status->type == EntryType::Directory) {
            const bool slow = volume ? isSlowDrive(volume->driveType) : !probeHere;
            if (slow || probed >= options.probeLimit) {
                subfolder = SFGAO_HASSUBFOLDER;
                child.hasChildren = true;
            } else {
                ++probed;
                const SubfolderProbe probe = probeSubfolders(entries.fd(), name);
                child.childrenError = probe.error;
                if (probe.hasSubfolder)
                    subfolder = SFGAO_HASSUBFOLDER;
                child.hasChildren = probe.error == 0
                    && (probe.hasSubfolder || (options.flags & SHCONTF_NONFOLDERS));
            }
        }
        child.attributes = (attributes | subfolder) & (options.attributes | kKindAttributes);
        if (!sink(std::move(child)))
            return {};
    }
    if (entries.error() != 0)
        return {resultFromErrno(entries.error()), entries.error()};
    if (!options.isCancelled())
        notifyFolderEnumerated(path_, modifiedNs, std::move(found));
    return {};
}

} // namespace dw::platform
