// SPDX-License-Identifier: MIT
#include "platform/fileops/TrashCan.h"

#include "platform/namespace/DisplayText.h"
#include "platform/namespace/FileSystemAccess.h"
#include "platform/namespace/ShellErrors.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace dw::platform {

namespace {

constexpr mode_t kPrivateFolder = 0700;
constexpr const char* kRecordSuffix = ".trashinfo";
// A record's name is the entry's name and the suffix, within a name's 255 bytes.
constexpr std::size_t kLongestEntryName = 255 - 10;
constexpr int kNameAttempts = 1000;

bool isAbsolute(const std::string& path)
{
    return !path.empty() && path.front() == '/';
}

std::string parentOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

std::string baseNameOf(const std::string& path)
{
    return path.substr(path.rfind('/') + 1);
}

// Makes `folder` unless a folder (or a link to one) is there already.
bool ensureFolder(const std::string& folder, mode_t mode)
{
    if (::mkdir(folder.c_str(), mode) == 0)
        return true;
    struct stat status {};
    return errno == EEXIST && ::stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// Every folder of the absolute `path`, from the root down, made when missing.
bool ensureFolderChain(const std::string& path, mode_t mode)
{
    for (std::size_t at = path.find('/', 1);; at = path.find('/', at + 1)) {
        if (!ensureFolder(path.substr(0, at), mode))
            return false;
        if (at == std::string::npos)
            return true;
    }
}

bool hasFilesAndInfo(const std::string& trash)
{
    return ensureFolder(trash + "/files", kPrivateFolder) && ensureFolder(trash + "/info", kPrivateFolder);
}

// The device of `path`, or of its nearest existing folder above it (a home
// trash not made yet lies on the volume its parents lie on).
std::optional<dev_t> deviceOfNearest(std::string path)
{
    struct stat status {};
    while (::stat(path.c_str(), &status) != 0) {
        if (path == "/")
            return std::nullopt;
        path = parentOf(path);
    }
    return status.st_dev;
}

// The top folder of the volume `folder` (a real path) lies on.
std::string volumeTop(std::string folder, dev_t device)
{
    while (folder != "/") {
        const std::string up = parentOf(folder);
        struct stat status {};
        if (::stat(up.c_str(), &status) != 0 || status.st_dev != device)
            break;
        folder = up;
    }
    return folder;
}

// A folder of this user's own, not a link: nobody else may have put it there.
bool isOwnFolder(const std::string& path)
{
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == ::getuid();
}

// The trash of the volume whose top folder is `top`; empty when it has none
// that may be used.
std::string volumeTrash(const std::string& top)
{
    const std::string base = top == "/" ? std::string() : top;
    const std::string uid = std::to_string(::getuid());
    // A .Trash shared by all users counts only with the sticky bit, so that
    // nobody can remove another's trash, and never as a link.
    const std::string shared = base + "/.Trash";
    struct stat status {};
    if (::lstat(shared.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && (status.st_mode & S_ISVTX)) {
        const std::string own = shared + "/" + uid;
        ::mkdir(own.c_str(), kPrivateFolder);
        if (isOwnFolder(own) && hasFilesAndInfo(own))
            return own;
    }
    const std::string own = base + "/.Trash-" + uid;
    ::mkdir(own.c_str(), kPrivateFolder);
    return isOwnFolder(own) && hasFilesAndInfo(own) ? own : std::string();
}

std::string deletionDate()
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    ::localtime_r(&now, &local);
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

HResult writeAll(int fd, const std::string& text)
{
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? resultFromErrno(errno) : E_FAIL;
        done += static_cast<std::size_t>(written);
    }
    return S_OK;
}

std::string entryNameFor(const std::string& base, int attempt)
{
    const std::string suffix = attempt == 1 ? std::string() : "." + std::to_string(attempt);
    return base.substr(0, kLongestEntryName - suffix.size()) + suffix;
}

// Reserves a free name by making its record, then moves the item there.
HResult putIntoTrash(const std::string& path, const std::string& trash, const std::string& recordedPath,
                     std::string& entryName)
{
    const std::string record
        = "[Trash Info]\nPath=" + percentEncode(recordedPath) + "\nDeletionDate=" + deletionDate() + "\n";
    const std::string base = baseNameOf(path);
    for (int attempt = 1; attempt < kNameAttempts; ++attempt) {
        const std::string name = entryNameFor(base, attempt);
        const std::string info = trash + "/info/" + name + kRecordSuffix;
        const int fd = ::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return resultFromErrno(errno);
        }
        HResult result = writeAll(fd, record);
        if (::close(fd) != 0 && succeeded(result))
            result = resultFromErrno(errno);
        if (succeeded(result))
            result = renameNoReplace(path, trash + "/files/" + name);
        if (succeeded(result)) {
            entryName = name;
            return S_OK;
        }
        ::unlink(info.c_str());
        if (result != E_ALREADY_EXISTS)
            return result;
    }
    return E_FAIL;
}

} // namespace

HResult makeHomeTrash(const std::string& trashPath)
{
    if (!isAbsolute(trashPath) || !ensureFolderChain(parentOf(trashPath), kPrivateFolder)
        || !ensureFolder(trashPath, kPrivateFolder) || !hasFilesAndInfo(trashPath))
        return E_NO_TRASH;
    return S_OK;
}

HResult moveToTrashCan(const std::string& path, const std::string& homeTrashPath, TrashedItem& trashed)
{
    struct stat status {};
    if (!isAbsolute(path) || ::lstat(path.c_str(), &status) != 0)
        return E_FILE_NOT_FOUND;
    // The record says where the item really was, whatever links led to it.
    const std::unique_ptr<char, decltype(&std::free)> folder(::realpath(parentOf(path).c_str(), nullptr),
                                                             &std::free);
    if (!folder)
        return resultFromErrno(errno);
    const std::string realPath = joinPath(folder.get(), baseNameOf(path));
    std::string recordedPath = realPath;
    std::string trash;
    const std::optional<dev_t> homeDevice
        = isAbsolute(homeTrashPath) ? deviceOfNearest(homeTrashPath) : std::nullopt;
    if (homeDevice && *homeDevice == status.st_dev) {
        if (const HResult made = makeHomeTrash(homeTrashPath); failed(made))
            return made;
        trash = homeTrashPath;
    } else {
        const std::string top = volumeTop(folder.get(), status.st_dev);
        trash = volumeTrash(top);
        if (trash.empty())
            return E_NO_TRASH;
        recordedPath = realPath.substr(top == "/" ? 1 : top.size() + 1); // relative to the volume's top
    }
    std::string entryName;
    if (const HResult moved = putIntoTrash(path, trash, recordedPath, entryName); failed(moved))
        return moved;
    trashed = {trash, entryName, S_ISDIR(status.st_mode)};
    return S_OK;
}

} // namespace dw::platform
