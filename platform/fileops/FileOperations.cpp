// SPDX-License-Identifier: MIT
#include "platform/fileops/FileOperations.h"

#include "platform/fileops/TrashCan.h"
#include "platform/namespace/ChangeReport.h"
#include "platform/namespace/FileSystemAccess.h"
#include "platform/namespace/IdRecord.h"
#include "platform/namespace/NamespaceEnvironment.h"
#include "platform/namespace/ShellErrors.h"
#include "platform/namespace/TrashInfoCache.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace dw::platform {

namespace {

long removalEvent(bool folder)
{
    return folder ? SHCNE_RMDIR : SHCNE_DELETE;
}

// The entry appears in the trash the namespace shows: views showing it
// follow at once.
void reportTrashEntryAdded(const TrashedItem& trashed)
{
    TrashInfoCache::of(trashed.trashPath).forget(trashed.entryName);
    const IdListPtr trash = makeRecord(IdKind::Trash);
    const IdListPtr entry = makeRecord(IdKind::TrashEntry, trashed.folder ? ENTRY_DIRECTORY : 0, trashed.entryName);
    const IdListPtr absolute(ILCombine(trash.get(), entry.get()));
    reportNamespaceChange(trashed.folder ? SHCNE_MKDIR : SHCNE_CREATE, absolute.get());
}

} // namespace

HResult createFolder(const ItemIdList* folderAbsolute, const std::string& folderPath, const std::string& name)
{
    if (!isValidComponent(name))
        return E_BAD_NAME;
    if (::mkdir(joinPath(folderPath, name).c_str(), 0777) != 0)
        return resultFromErrno(errno);
    const IdListPtr id = makeEntryRecord(name, ENTRY_DIRECTORY);
    const IdListPtr absolute(ILCombine(folderAbsolute, id.get()));
    reportNamespaceChange(SHCNE_MKDIR, absolute.get());
    return S_OK;
}

HResult moveItemToTrash(const ItemIdList* absolute, const std::string& path)
{
    const auto flags = entryFlags(path);
    if (!flags)
        return E_FILE_NOT_FOUND;
    const bool realFolder = (*flags & ENTRY_DIRECTORY) && !(*flags & ENTRY_SYMLINK);
    if (realFolder && isMountPoint(path))
        return E_ACCESSDENIED;
    const std::string homeTrash = homeTrashPath();
    TrashedItem trashed;
    if (const HResult moved = moveToTrashCan(path, homeTrash, trashed); failed(moved))
        return moved;
    reportNamespaceChange(removalEvent(realFolder), absolute);
    if (trashed.trashPath == homeTrash)
        reportTrashEntryAdded(trashed);
    return S_OK;
}

HResult deleteItemPermanently(const ItemIdList* absolute, const std::string& path)
{
    const auto flags = entryFlags(path);
    if (!flags)
        return E_FILE_NOT_FOUND;
    const bool realFolder = (*flags & ENTRY_DIRECTORY) && !(*flags & ENTRY_SYMLINK);
    if (realFolder && isMountPoint(path))
        return E_ACCESSDENIED; // a whole volume is never deleted from here
    const HResult removed = realFolder ? removeTree(path)
                                       : (::unlink(path.c_str()) == 0 ? S_OK : resultFromErrno(errno));
    // A folder removed only in part has changed too.
    if (succeeded(removed) || (realFolder && !entryFlags(path)))
        reportNamespaceChange(removalEvent(realFolder), absolute);
    else if (realFolder)
        reportNamespaceChange(SHCNE_UPDATEDIR, absolute);
    return removed;
}

} // namespace dw::platform
