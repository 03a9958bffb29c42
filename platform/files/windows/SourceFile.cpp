// SPDX-License-Identifier: MIT
#include "platform/files/SourceFile.h"

#include "platform/files/windows/WinText.h"

#include <windows.h>
#include <winternl.h>

#include <cerrno>

namespace dw::platform {

namespace {

constexpr int mostLinksFollowed = 40;
constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Other programs may read and rename, but not write, while we hold it.
constexpr DWORD writersShut = FILE_SHARE_READ | FILE_SHARE_DELETE;

std::pair<std::string, std::string> splitAtLastSeparator(const std::string& path)
{
    const std::size_t cut = path.find_last_of("\\/");
    if (cut == std::string::npos)
        return {std::string(), path};
    return {path.substr(0, cut + 1), path.substr(cut + 1)};
}

// Moves (folder, name) on to where a link leads: the OS follows it, and the
// final path of what it reached says which folder and name that is.
int followLink(std::shared_ptr<Folder>& folder, std::string& name)
{
    NativeFile target = noFile;
    if (int error = win::openRelative(folder->fd(), win::widen(name), FILE_READ_ATTRIBUTES, shareAll, FILE_OPEN, 0, target))
        return error;
    FileDescriptor owned(target);
    std::wstring path;
    if (int error = win::finalPath(target, path))
        return error;
    const auto [where, leaf] = splitAtLastSeparator(win::narrow(path));
    int error = 0;
    std::shared_ptr<Folder> next = Folder::open(where, error);
    if (!next)
        return error;
    folder = std::move(next);
    name = leaf;
    return 0;
}

// Opens the calendar for reading with writers shut out; when another program
// has it open for writing already, it is opened for reading alone and noted.
int openReading(SourceFile& file)
{
    NativeFile fd = noFile;
    const std::wstring name = win::widen(file.name);
    int error = win::openRelative(file.folder->fd(), name, GENERIC_READ, writersShut, FILE_OPEN, FILE_NON_DIRECTORY_FILE, fd);
    if (error == EBUSY) {
        error = win::openRelative(file.folder->fd(), name, GENERIC_READ, shareAll, FILE_OPEN, FILE_NON_DIRECTORY_FILE, fd);
        file.othersWriting = error == 0;
    }
    if (error)
        return error;
    file.fd.reset(fd);
    if (GetFileType(static_cast<HANDLE>(fd)) != FILE_TYPE_DISK) {
        file.fd.reset();
        return EINVAL; // pipes and devices are no calendars
    }
    return identityOf(fd, file.identity) ? 0 : errno;
}

} // namespace

int openSourceFile(const std::shared_ptr<Folder>& folder, const std::string& name, SourceFile& file)
{
    file.folder = folder;
    file.name = name;
    file.othersWriting = false;
    if (name.find_first_of("\\/") != std::string::npos)
        if (int error = followLink(file.folder, file.name))
            return error;
    for (int hops = 0;; ++hops) {
        // Looked at without following links and without reading anything.
        NativeFile probe = noFile;
        if (int error = win::openRelative(file.folder->fd(), win::widen(file.name), FILE_READ_ATTRIBUTES, shareAll,
                                          FILE_OPEN, FILE_OPEN_REPARSE_POINT, probe))
            return error;
        FileDescriptor owned(probe);
        FileIdentity seen;
        if (!identityOf(probe, seen))
            return errno;
        if (GetFileType(static_cast<HANDLE>(probe)) != FILE_TYPE_DISK)
            return EINVAL;
        if (seen.mode & FILE_ATTRIBUTE_REPARSE_POINT) {
            if (hops == mostLinksFollowed)
                return ELOOP;
            if (int error = followLink(file.folder, file.name))
                return error;
            continue;
        }
        if (seen.mode & FILE_ATTRIBUTE_DIRECTORY)
            return EISDIR;
        return openReading(file);
    }
}

int rewritingRefused(const SourceFile& source)
{
    return (source.identity.mode & FILE_ATTRIBUTE_READONLY) ? EACCES : 0;
}

} // namespace dw::platform
