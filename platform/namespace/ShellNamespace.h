// SPDX-License-Identifier: MIT
#pragma once
// Entry points of the shell namespace, shaped like the shell's own calls.
// They answer from the namespace in effect: the Linux namespace by default,
// or one a test installs with ScopedShellNamespace.

#include "platform/changes/FolderListing.h"
#include "platform/namespace/ShellFolder.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace dw::platform {

// One whole namespace: its desktop and its machine-wide facts.
class IShellNamespace {
public:
    virtual ~IShellNamespace() = default;
    virtual ShellFolderPtr desktopFolder() = 0;
    virtual HResult specialFolderLocation(int csidl, IdListPtr& result) = 0;
    // The drive type of the volume an item lies on; NoRootDir when unknown.
    virtual DriveType driveTypeOf(const ItemIdList* absolute) = 0;
    // Runs the item's default verb; false when that failed.
    virtual bool executeDefaultVerb(const ItemIdList* absolute) = 0;
    // The drive type of a volume itself (a child of Computer or Network);
    // nothing for every other item.
    virtual std::optional<DriveType> volumeDriveType(const ItemIdList*) { return std::nullopt; }
    // Names the volume whose folders an item's listing reads, so that
    // listings of a volume that stopped answering wait in a line of their
    // own; "" for items that lie on no volume.
    virtual std::string volumeKeyOf(const ItemIdList*) { return {}; }
    // The same for a desktop parsing name, before it is parsed.
    virtual std::string volumeKeyOfParsingName(const std::string&) { return {}; }
    // See localPathOfParsingName below; this default knows no shares.
    virtual std::optional<std::string> localPathOf(const std::string& parsingName);
};

IShellNamespace& currentShellNamespace();
// The same namespace, kept alive for as long as the caller holds it: work
// on other threads must not lose it when a test replaces it meanwhile.
std::shared_ptr<IShellNamespace> sharedShellNamespace();

// Replaces the namespace in effect for its lifetime (tests).
class ScopedShellNamespace {
public:
    explicit ScopedShellNamespace(std::shared_ptr<IShellNamespace> replacement);
    ~ScopedShellNamespace();
    ScopedShellNamespace(const ScopedShellNamespace&) = delete;
    ScopedShellNamespace& operator=(const ScopedShellNamespace&) = delete;

private:
    std::shared_ptr<IShellNamespace> previous_;
};

HResult SHGetDesktopFolder(ShellFolderPtr& desktop);
HResult SHGetSpecialFolderLocation(int csidl, IdListPtr& absolute);
// Find data of a file-system item (format 1).
HResult SHGetDataFromIDList(IShellFolder& folder, const ItemIdList* relative, FindData& data);

// Runs the default verb of an item (ShellExecuteEx with the id list's
// default verb); false when that failed.
bool ShellExecuteDefaultVerb(const ItemIdList* absolute);

// Looks `path` up in the file system itself (the find-first search, every
// attribute included); E_FILE_NOT_FOUND when it is not there. `path` is a
// parsing name that localPathOfParsingName resolves.
HResult FindFileData(const std::string& path, FindData& data);

// The local path a file-system parsing name stands for: a network share's
// "//SERVER/SHARE", or a path below it, becomes the same path below the
// share's mount point (from the volume table alone: the server is not
// asked); an absolute local path is itself. Nothing for anything else.
std::optional<std::string> localPathOfParsingName(const std::string& name);

// Whether `name` can be a desktop parsing name: "" (the desktop), a path
// from the root (an absolute path or a share's "//SERVER/SHARE"), or a
// virtual folder's "NAME://..." name. Anything else is a relative path, and
// there is no current folder for it to be relative to: it names nothing
// ("." and "./" no more than others).
bool isParsingName(std::string_view name);

// The absolute id list that a desktop parsing name (an absolute path, "" for
// the desktop, or a virtual folder's parsing name) stands for; null when it
// does not parse, and for every relative path. (The desktop folder's own
// ParseDisplayName also takes names relative to it, as every folder does.)
IdListPtr parsingNameToIdList(const std::string& name);
// The for-parsing name of an absolute id list (the full path of a
// file-system item); empty when the list names nothing.
std::string idListToParsingName(const ItemIdList* absolute);

// The folder that contains the last id of `absolute` (the desktop for a list
// of one id, and for the empty list); null when it cannot be bound.
ShellFolderPtr bindToParent(const ItemIdList* absolute);
// The folder `absolute` names; the desktop for the empty list.
ShellFolderPtr bindToFolder(const ItemIdList* absolute);

// Told of every file-system folder whose children are enumerated, with its
// path; one observer at a time, an empty function removes it. Called on the
// enumerating thread, which may be any thread, several at once. A call under
// way when the observer is replaced may still run the old one after
// setEnumerationObserver returns: an observer must be safe to call from any
// thread and must hold what it uses (not refer to an object that may be gone).
// `modifiedNs` is the folder's modification time (nanoseconds since 1970)
// as it was when its listing began, or -1: a folder that changed between
// then and the moment its watch began must be read again. `entries`, when
// given, is every entry the listing found: the observer need not read the
// folder again.
using EnumerationObserver =
    std::function<void(const std::string& folderPath, std::int64_t modifiedNs, std::optional<FolderListing> entries)>;
void setEnumerationObserver(EnumerationObserver observer);
void notifyFolderEnumerated(const std::string& folderPath, std::int64_t modifiedNs = -1,
                            std::optional<FolderListing> entries = std::nullopt);
// Whether an observer listens: a listing gathers its entries only then.
bool folderEnumerationObserved();

} // namespace dw::platform
