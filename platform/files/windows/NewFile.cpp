// SPDX-License-Identifier: MIT
#include "platform/files/NewFile.h"

#include "platform/files/windows/WinText.h"

#include <windows.h>
#include <winternl.h>

#include <cerrno>
#include <random>

namespace dw::platform {

namespace {

constexpr std::size_t longestStem = 200;
constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::string randomSuffix()
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 random{std::random_device{}()};
    std::string suffix(6, 'X');
    for (char& c : suffix)
        c = letters[random() % (sizeof letters - 1)];
    return suffix;
}

// While the file is "delete pending" it goes when its last handle closes,
// however the program ends; cleared, it stays.
int setDeletePending(NativeFile fd, bool pending)
{
    FILE_DISPOSITION_INFO disposition{BOOLEAN(pending ? TRUE : FALSE)};
    if (SetFileInformationByHandle(static_cast<HANDLE>(fd), FileDispositionInfo, &disposition, sizeof disposition))
        return 0;
    return win::errnoFromWin32(GetLastError());
}

} // namespace

NewFile& NewFile::operator=(NewFile&& other) noexcept
{
    if (this != &other) {
        discard();
        folder_ = std::move(other.folder_);
        fd_ = std::move(other.fd_);
        stem_ = std::move(other.stem_);
        kind_ = std::move(other.kind_);
        name_ = std::move(other.name_);
        pendingName_ = std::move(other.pendingName_);
        other.name_.clear();
        other.pendingName_.clear();
    }
    return *this;
}

std::string NewFile::hiddenName() const
{
    return "." + stem_.substr(0, longestStem) + "." + kind_ + "." + randomSuffix();
}

// Windows has no file without a name: the new file gets its hidden name at
// once, but stays "delete pending" until it is needed, so a run that is
// killed while writing or flushing it leaves nothing behind all the same.
int NewFile::create(const std::shared_ptr<Folder>& folder, const std::string& stem, const std::string& kind)
{
    discard();
    folder_ = folder;
    stem_ = stem;
    kind_ = kind;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = hiddenName();
        NativeFile fd = noFile;
        const int error = win::openRelative(folder->fd(), win::widen(name), GENERIC_READ | GENERIC_WRITE | DELETE,
                                            shareAll, FILE_CREATE, FILE_NON_DIRECTORY_FILE, fd, FILE_ATTRIBUTE_HIDDEN);
        if (error == EEXIST)
            continue;
        if (error)
            return error;
        fd_.reset(fd);
        if (int pending = setDeletePending(fd, true)) {
            fd_.reset();
            return pending;
        }
        pendingName_ = name;
        return 0;
    }
    return EEXIST;
}

int NewFile::giveName()
{
    if (!name_.empty() || pendingName_.empty())
        return 0;
    if (int error = setDeletePending(fd_.get(), false))
        return error;
    name_ = std::move(pendingName_);
    pendingName_.clear();
    return 0;
}

int NewFile::removeName()
{
    if (name_.empty())
        return 0;
    int result = 0;
    if (fd_.valid()) {
        result = setDeletePending(fd_.get(), true);
    } else {
        NativeFile fd = noFile;
        result = win::openRelative(folder_->fd(), win::widen(name_), DELETE, shareAll, FILE_OPEN,
                                   FILE_NON_DIRECTORY_FILE | FILE_DELETE_ON_CLOSE | FILE_OPEN_REPARSE_POINT, fd);
        FileDescriptor closing(fd);
    }
    name_.clear();
    return result;
}

void NewFile::discard()
{
    if (folder_)
        (void)removeName();
    fd_.reset();
    pendingName_.clear();
}

} // namespace dw::platform
