// SPDX-License-Identifier: MIT
#include "platform/files/DirectoryListing.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace dw::platform {

namespace {

struct CloseDir {
    void operator()(DIR* dir) const noexcept { ::closedir(dir); }
};

bool followsToDirectory(int folderFd, const char* name)
{
    struct stat status {};
    return ::fstatat(folderFd, name, &status, 0) == 0 && S_ISDIR(status.st_mode);
}

DirectoryEntry describe(DIR* dir, const dirent& entry)
{
    DirectoryEntry result;
    result.name = entry.d_name;
    unsigned char type = entry.d_type;
    if (type == DT_UNKNOWN) {
        struct stat status {};
        if (::fstatat(::dirfd(dir), entry.d_name, &status, AT_SYMLINK_NOFOLLOW) == 0)
            type = IFTODT(status.st_mode);
    }
    result.isLink = type == DT_LNK;
    result.isSpecial = type == DT_FIFO || type == DT_SOCK || type == DT_CHR || type == DT_BLK;
    result.isDirectory = type == DT_DIR || (result.isLink && followsToDirectory(::dirfd(dir), entry.d_name));
    return result;
}

bool isDotOrDotDot(const char* name)
{
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

} // namespace

DirectoryListing listDirectory(int folderFd)
{
    DirectoryListing listing;
    // A listing of its own: the descriptor given may be shared, and a listing
    // moves the position of the descriptor it reads.
    const int own = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::unique_ptr<DIR, CloseDir> dir(own >= 0 ? ::fdopendir(own) : nullptr);
    if (!dir) {
        listing.error = errno;
        if (own >= 0)
            ::close(own);
        return listing;
    }
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (!entry) {
            listing.error = errno;
            break;
        }
        if (!isDotOrDotDot(entry->d_name))
            listing.entries.push_back(describe(dir.get(), *entry));
    }
    return listing;
}

} // namespace dw::platform
