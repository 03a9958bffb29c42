// SPDX-License-Identifier: MIT
#include "platform/fileops/FileOperations.h"

#include "platform/namespace/ChangeReport.h"
#include "platform/namespace/DisplayText.h"
#include "platform/namespace/FileSystemAccess.h"
#include "platform/namespace/IdRecord.h"
#include "platform/namespace/ShellErrors.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
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

bool survivesAsText(const std::string& path)
{
    return QFile::encodeName(qtPath(path)).toStdString() == path;
}

// The freedesktop trash of the home volume, for names Qt cannot pass on:
// Qt takes paths as text, and a name that is not valid UTF-8 would reach
// the file system as a different name.
HResult moveToHomeTrash(const std::string& path)
{
    const std::string trash
        = QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)).toStdString()
        + "/Trash";
    QDir().mkpath(QFile::decodeName(QByteArray::fromStdString(trash + "/files")));
    QDir().mkpath(QFile::decodeName(QByteArray::fromStdString(trash + "/info")));
    const std::size_t slash = path.rfind('/');
    const std::string base = path.substr(slash + 1);
    const std::string record = "[Trash Info]\nPath=" + percentEncode(path) + "\nDeletionDate="
        + QDateTime::currentDateTime().toString(Qt::ISODate).toStdString() + "\n";
    for (int attempt = 1; attempt < 1000; ++attempt) {
        const std::string name = attempt == 1 ? base : base + "." + std::to_string(attempt);
        const std::string info = trash + "/info/" + name + ".trashinfo";
        // The record is made first and exclusively: it reserves the name.
        const int fd = ::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return resultFromErrno(errno);
        }
        const bool written = ::write(fd, record.data(), record.size()) == static_cast<ssize_t>(record.size());
        ::close(fd);
        const HResult moved = written ? renameNoReplace(path, trash + "/files/" + name) : E_FAIL;
        if (succeeded(moved))
            return S_OK;
        ::unlink(info.c_str());
        if (moved != E_ALREADY_EXISTS)
            return moved;
    }
    return E_FAIL;
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
    if ((*flags & ENTRY_DIRECTORY) && !(*flags & ENTRY_SYMLINK) && isMountPoint(path))
        return E_ACCESSDENIED;
    if (survivesAsText(path)) {
        if (!QFile::moveToTrash(qtPath(path)))
            return E_FAIL;
    } else if (const HResult moved = moveToHomeTrash(path); failed(moved)) {
        return moved;
    }
    reportNamespaceChange(removalEvent((*flags & ENTRY_DIRECTORY) && !(*flags & ENTRY_SYMLINK)), absolute);
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
