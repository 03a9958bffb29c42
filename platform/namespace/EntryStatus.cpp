// SPDX-License-Identifier: MIT
#include "platform/namespace/EntryStatus.h"

#include "platform/namespace/IdRecord.h"
#include "platform/namespace/ShellFolder.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace dw::platform {

namespace {

constexpr unsigned kStatusMask = STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_MTIME;

EntryType typeOfMode(unsigned mode)
{
    switch (mode & S_IFMT) {
    case S_IFREG:
        return EntryType::Regular;
    case S_IFDIR:
        return EntryType::Directory;
    case S_IFIFO:
        return EntryType::Fifo;
    case S_IFSOCK:
        return EntryType::Socket;
    case S_IFCHR:
        return EntryType::CharacterDevice;
    case S_IFBLK:
        return EntryType::BlockDevice;
    default:
        return EntryType::Unknown;
    }
}

// AT_NO_AUTOMOUNT: looking at an entry must not mount anything.
bool statxAt(int folderFd, const char* name, int flags, struct statx& result)
{
    return ::statx(folderFd, name, flags | AT_NO_AUTOMOUNT, kStatusMask, &result) == 0;
}

void takeFacts(const struct statx& facts, EntryStatus& status)
{
    status.type = typeOfMode(facts.stx_mode);
    status.mode = facts.stx_mode & 07777;
    status.size = status.type == EntryType::Regular ? facts.stx_size : 0;
    status.lastWriteSeconds = facts.stx_mtime.tv_sec;
    status.lastWriteNanoseconds = static_cast<std::int32_t>(facts.stx_mtime.tv_nsec);
    status.compressed = (facts.stx_attributes_mask & STATX_ATTR_COMPRESSED)
        && (facts.stx_attributes & STATX_ATTR_COMPRESSED);
}

bool isDotOrDotDot(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

struct LinuxDirent64 {
    ino64_t d_ino;
    off64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[1];
};

} // namespace

std::optional<EntryStatus> statEntry(int folderFd, const char* name)
{
    struct statx facts {};
    if (!statxAt(folderFd, name, AT_SYMLINK_NOFOLLOW, facts))
        return std::nullopt;
    EntryStatus status;
    status.mountRoot = (facts.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT)
        && (facts.stx_attributes & STATX_ATTR_MOUNT_ROOT);
    if (!S_ISLNK(facts.stx_mode)) {
        takeFacts(facts, status);
        return status;
    }
    status.isLink = true;
    takeFacts(facts, status);
    status.type = EntryType::Unknown;
    struct statx target {};
    if (!statxAt(folderFd, name, 0, target)) {
        status.dangling = true; // dangling, a loop, or no permission
        return status;
    }
    takeFacts(target, status);
    return status;
}

std::int64_t modificationTimeNs(int fd)
{
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return -1;
    return static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
}

std::uint8_t entryFlagsOf(const EntryStatus& status)
{
    std::uint8_t flags = status.type == EntryType::Directory ? ENTRY_DIRECTORY : 0;
    if (status.isLink)
        flags |= ENTRY_SYMLINK;
    if (status.dangling)
        flags |= ENTRY_DANGLING;
    return flags;
}

std::uint32_t findAttributesOf(const EntryStatus& status, std::string_view name)
{
    std::uint32_t attributes = 0;
    if (status.type == EntryType::Directory)
        attributes |= FILE_ATTRIBUTE_DIRECTORY;
    else if (status.type == EntryType::Regular)
        attributes |= FILE_ATTRIBUTE_ARCHIVE;
    else
        attributes |= FILE_ATTRIBUTE_SYSTEM; // devices, sockets, pipes, dangling links
    if (!name.empty() && name.front() == '.')
        attributes |= FILE_ATTRIBUTE_HIDDEN;
    if ((status.mode & 0222) == 0)
        attributes |= FILE_ATTRIBUTE_READONLY;
    if (status.compressed)
        attributes |= FILE_ATTRIBUTE_COMPRESSED;
    return attributes;
}

SubfolderProbe probeSubfolders(int folderFd, const char* name, int entryLimit)
{
    SubfolderProbe probe;
    const int fd = ::openat(folderFd, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        probe.error = errno;
        return probe;
    }
    alignas(LinuxDirent64) char buffer[8192];
    int seen = 0;
    while (!probe.hasSubfolder) {
        const long got = ::syscall(SYS_getdents64, fd, buffer, sizeof buffer);
        if (got <= 0)
            break;
        for (long at = 0; at < got && !probe.hasSubfolder;) {
            const auto* entry = reinterpret_cast<const LinuxDirent64*>(buffer + at);
            at += entry->d_reclen;
            if (isDotOrDotDot(entry->d_name))
                continue;
            probe.hasEntries = true;
            if (++seen > entryLimit) {
                probe.hasSubfolder = true;
                break;
            }
            if (entry->d_type == DT_DIR)
                probe.hasSubfolder = true;
            else if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
                struct stat target {};
                probe.hasSubfolder = ::fstatat(fd, entry->d_name, &target, 0) == 0 && S_ISDIR(target.st_mode);
            }
        }
    }
    ::close(fd);
    return probe;
}

EntryReader::EntryReader(const std::string& path)
    : fd_(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY))
{
    if (fd_ < 0)
        error_ = errno == 0 ? ENOENT : errno;
}

EntryReader::~EntryReader()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool EntryReader::refill()
{
    if (buffer_.empty())
        buffer_.resize(64 * 1024);
    const long got = ::syscall(SYS_getdents64, fd_, buffer_.data(), buffer_.size());
    if (got < 0)
        error_ = errno;
    position_ = 0;
    end_ = got > 0 ? static_cast<std::size_t>(got) : 0;
    return end_ > 0;
}

bool EntryReader::next(const char*& name, unsigned char& type)
{
    if (fd_ < 0)
        return false;
    for (;;) {
        if (position_ >= end_ && !refill())
            return false;
        const auto* entry = reinterpret_cast<const LinuxDirent64*>(buffer_.data() + position_);
        position_ += entry->d_reclen;
        if (isDotOrDotDot(entry->d_name))
            continue;
        name = entry->d_name;
        type = entry->d_type;
        return true;
    }
}

} // namespace dw::platform
