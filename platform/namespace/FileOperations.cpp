#include "platform/namespace/FileOperations.h"

#include "platform/namespace/ChangeReport.h"
#include "platform/namespace/FileSystemAccess.h"
#include "platform/namespace/IdRecord.h"
#include "platform/namespace/ShellErrors.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace dw::platform {

namespace {

QString qtPath(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

long removalEvent(bool folder)
{
    return folder ? SHCNE_RMDIR : SHCNE_DELETE;
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
    if (!QFile::moveToTrash(qtPath(path)))
        return E_FAIL;
    reportNamespaceChange(removalEvent((*flags & ENTRY_DIRECTORY) && !(*flags & ENTRY_SYMLINK)), absolute);
    return S_OK;
}

HResult deleteItemPermanently(const ItemIdList* absolute, const std::string& path)
{
    const auto flags = entryFlags(path);
    if (!flags)
        return E_FILE_NOT_FOUND;
    const bool realFolder = (*flags & ENTRY_DIRECTORY) && !(*flags & ENTRY_SYMLINK);
    if (realFolder) {
        // removeRecursively removes links inside without following them.
        if (!QDir(qtPath(path)).removeRecursively())
            return E_ACCESSDENIED;
    } else if (::unlink(path.c_str()) != 0) {
        return resultFromErrno(errno);
    }
    reportNamespaceChange(removalEvent(realFolder), absolute);
    return S_OK;
}

} // namespace dw::platform
