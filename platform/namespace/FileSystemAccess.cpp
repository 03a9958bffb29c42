// SPDX-License-Identifier: MIT
#include "platform/namespace/FileSystemAccess.h"

#include <cerrno>
#include <dirent.h>
#include <cstdio>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/namespace/EntryStatus.h"
#include "platform/namespace/IdRecord.h"
#include "platform/namespace/ShellErrors.h"

namespace dw::platform {

namespace {

DIR* asDir(void* directory)
{
    return static_cast<DIR*>(directory);
}

std::string parentOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Kind of an entry met while reading a folder: from the entry's type when
// the file system gives one, else from the entry itself.
std::uint8_t flagsOfDirEntry(int folderFd, const dirent& entry)
{
    if (entry.d_type == DT_DIR)
        return ENTRY_DIRECTORY;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN)
        return 0;
    struct stat status {};
    std::uint8_t flags = 0;
    if (entry.d_type == DT_UNKNOWN) {
        if (::fstatat(folderFd, entry.d_name, &status, AT_SYMLINK_NOFOLLOW) != 0)
            return 0;
        if (!S_ISLNK(status.st_mode))
            return S_ISDIR(status.st_mode) ? ENTRY_DIRECTORY : 0;
    }
    flags |= ENTRY_SYMLINK;
    if (::fstatat(folderFd, entry.d_name, &status, 0) != 0)
        return flags | ENTRY_DANGLING; // dangling, a loop, or no permission
    return S_ISDIR(status.st_mode) ? flags | ENTRY_DIRECTORY : flags;
}

} // namespace

std::string joinPath(std::string_view folder, std::string_view name)
{
    std::string path(folder);
    if (path.empty() || path.back() != '/')
        path.push_back('/');
    path.append(name);
    return path;
}

std::optional<std::uint8_t> entryFlags(const std::string& path)
{
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0)
        return std::nullopt;
    if (!S_ISLNK(status.st_mode))
        return S_ISDIR(status.st_mode) ? ENTRY_DIRECTORY : 0;
    if (::stat(path.c_str(), &status) != 0)
        return ENTRY_SYMLINK | ENTRY_DANGLING;
    return S_ISDIR(status.st_mode) ? ENTRY_SYMLINK | ENTRY_DIRECTORY : ENTRY_SYMLINK;
}

bool hasSubfolder(const std::string& folderPath)
{
    DIR* directory = ::opendir(folderPath.c_str());
    if (!directory)
        return false;
    bool found = false;
    const int fd = ::dirfd(directory);
    while (const dirent* entry = ::readdir(directory)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        if (entry->d_type == DT_DIR || (flagsOfDirEntry(fd, *entry) & ENTRY_DIRECTORY)) {
            found = true;
            break;
        }
    }
    ::closedir(directory);
    return found;
}

bool isCompressed(const std::string& path)
{
    // statx tells without opening the file: opening could block on a device
    // or a pipe, and costs a round trip per file on a network share.
    const auto status = statEntry(AT_FDCWD, path.c_str());
    return status && status->compressed
        && (status->type == EntryType::Regular || status->type == EntryType::Directory);
}

bool isMountPoint(const std::string& path)
{
    if (path == "/")
        return true;
    struct stat self {};
    struct stat parent {};
    if (::lstat(path.c_str(), &self) != 0 || !S_ISDIR(self.st_mode))
        return false;
    if (::stat(parentOf(path).c_str(), &parent) != 0)
        return false;
    return self.st_dev != parent.st_dev || self.st_ino == parent.st_ino;
}

bool isWritableFolder(const std::string& folderPath)
{
    return ::access(folderPath.c_str(), W_OK | X_OK) == 0;
}

bool onSameVolume(const std::string& first, const std::string& second)
{
    struct stat a {};
    struct stat b {};
    return ::lstat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 && a.st_dev == b.st_dev;
}

HResult readFindData(const std::string& path, FindData& data)
{
    const auto status = statEntry(AT_FDCWD, path.c_str());
    if (!status)
        return resultFromErrno(errno);
    const std::size_t slash = path.rfind('/');
    data.fileName = slash == std::string::npos ? path : path.substr(slash + 1);
    data.attributes = findAttributesOf(*status, data.fileName);
    data.size = status->size;
    data.lastWriteSeconds = status->lastWriteSeconds;
    data.lastWriteNanoseconds = status->lastWriteNanoseconds;
    return S_OK;
}

namespace {

thread_local int t_removeError = 0;

int removeEntry(const char* path, const struct stat*, int kind, struct FTW*)
{
    const int result = kind == FTW_DP ? ::rmdir(path) : ::unlink(path);
    if (result != 0 && t_removeError == 0)
        t_removeError = errno;
    return 0; // go on: remove as much as can be removed
}

} // namespace

HResult removeTree(const std::string& folderPath)
{
    t_removeError = 0;
    if (::nftw(folderPath.c_str(), removeEntry, 32, FTW_DEPTH | FTW_PHYS | FTW_MOUNT) != 0)
        return resultFromErrno(errno);
    return resultFromErrno(t_removeError);
}

HResult renameNoReplace(const std::string& from, const std::string& to)
{
    // RENAME_NOREPLACE closes the gap between checking for the new name and
    // renaming; file systems without it fall back to check-then-rename.
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return S_OK;
    if (errno != EINVAL && errno != ENOSYS)
        return resultFromErrno(errno);
    if (entryFlags(to))
        return E_ALREADY_EXISTS;
    return ::rename(from.c_str(), to.c_str()) == 0 ? S_OK : resultFromErrno(errno);
}

DirectoryReader::DirectoryReader(const std::string& folderPath)
    : directory_(::opendir(folderPath.c_str()))
{
    if (!directory_)
        openError_ = errno == 0 ? ENOENT : errno;
}

DirectoryReader::~DirectoryReader()
{
    if (directory_)
        ::closedir(asDir(directory_));
}

bool DirectoryReader::next(std::string& name, std::uint8_t& flags)
{
    if (!directory_)
        return false;
    while (const dirent* entry = ::readdir(asDir(directory_))) {
        const std::string_view entryName = entry->d_name;
        if (entryName == "." || entryName == "..")
            continue;
        name.assign(entryName);
        flags = flagsOfDirEntry(::dirfd(asDir(directory_)), *entry);
        return true;
    }
    return false;
}

} // namespace dw::platform
