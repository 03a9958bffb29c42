// SPDX-License-Identifier: MIT
#include "platform/fileops/TrashOperations.h"

#include "platform/fileops/FileOperations.h"
#include "platform/namespace/ChangeReport.h"
#include "platform/namespace/FileSystemAccess.h"
#include "platform/namespace/IdRecord.h"
#include "platform/namespace/ShellNamespace.h"
#include "platform/namespace/TrashInfoCache.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <unistd.h>

namespace dw::platform {

namespace {

std::string filesEntry(const std::string& trashPath, const std::string& entryName)
{
    return trashPath + "/files/" + entryName;
}

bool isFolder(const std::string& path)
{
    const auto flags = entryFlags(path);
    return flags && (*flags & ENTRY_DIRECTORY) && !(*flags & ENTRY_SYMLINK);
}

} // namespace

HResult restoreFromTrash(const std::string& trashPath, const std::string& entryName,
                         const std::string& originalPath, const ItemIdList* entryAbsolute)
{
    const std::string from = filesEntry(trashPath, entryName);
    if (!isValidComponent(entryName) || !entryFlags(from))
        return E_FILE_NOT_FOUND;
    if (originalPath.empty() || originalPath.front() != '/')
        return E_FAIL; // no record of where it came from
    const bool folder = isFolder(from);
    const std::size_t slash = originalPath.rfind('/');
    const std::string parent = slash == 0 ? "/" : originalPath.substr(0, slash);
    QDir().mkpath(QFile::decodeName(QByteArray::fromStdString(parent)));
    if (const HResult moved = renameNoReplace(from, originalPath); failed(moved))
        return moved;
    ::unlink(trashInfoPath(trashPath, entryName).c_str());
    TrashInfoCache::of(trashPath).forget(entryName);
    reportNamespaceChange(folder ? SHCNE_RMDIR : SHCNE_DELETE, entryAbsolute);
    if (const IdListPtr restored = parsingNameToIdList(originalPath))
        reportNamespaceChange(folder ? SHCNE_MKDIR : SHCNE_CREATE, restored.get());
    return S_OK;
}

HResult deleteFromTrash(const std::string& trashPath, const std::string& entryName, const ItemIdList* entryAbsolute)
{
    if (!isValidComponent(entryName))
        return E_FILE_NOT_FOUND;
    const HResult deleted = deleteItemPermanently(entryAbsolute, filesEntry(trashPath, entryName));
    if (succeeded(deleted)) {
        ::unlink(trashInfoPath(trashPath, entryName).c_str());
        TrashInfoCache::of(trashPath).forget(entryName);
    }
    return deleted;
}

} // namespace dw::platform
