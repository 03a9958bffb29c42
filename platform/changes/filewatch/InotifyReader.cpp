// SPDX-License-Identifier: MIT
#include "platform/changes/filewatch/InotifyReader.h"

#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fstream>
#include <memory>

namespace dw::platform {
namespace {

constexpr std::uint32_t kWatchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_MODIFY | IN_ATTRIB
    | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR | IN_EXCL_UNLINK;

long readProcNumber(const std::string& path)
{
    std::ifstream file(path);
    long value = 0;
    return (file >> value) ? value : 0;
}

InotifyLimit lowerLimit(const std::string& namespaceFile, const char* namespaceSetting,
                        const std::string& machineFile, const char* machineSetting)
{
    const long ofNamespace = readProcNumber(namespaceFile);
    const long ofMachine = readProcNumber(machineFile);
    if (ofNamespace > 0 && (ofMachine <= 0 || ofNamespace < ofMachine))
        return {ofNamespace, namespaceSetting};
    return {ofMachine, machineSetting};
}

struct OwnedDescriptor {
    explicit OwnedDescriptor(int descriptor) : fd(descriptor) {}
    ~OwnedDescriptor() { ::close(fd); }
    OwnedDescriptor(const OwnedDescriptor&) = delete;
    OwnedDescriptor& operator=(const OwnedDescriptor&) = delete;
    const int fd;
};

AddedWatch addWatchOn(int fd, const std::string& folder)
{
    const int watch = inotify_add_watch(fd, folder.c_str(), kWatchMask);
    if (watch >= 0)
        return {AddWatchResult::Added, watch};
    return {errno == ENOSPC ? AddWatchResult::LimitReached : AddWatchResult::Failed, -1};
}

} // namespace

InotifyReader::InotifyReader() : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
}

InotifyReader::~InotifyReader()
{
    if (fd_ >= 0)
        ::close(fd_);
}

AddedWatch InotifyReader::addWatch(const std::string& folder)
{
    if (fd_ < 0)
        return {};
    return addWatchOn(fd_, folder);
}

InotifyReader::WatchAdder InotifyReader::adderForOtherThreads() const
{
    const int copy = fd_ >= 0 ? ::fcntl(fd_, F_DUPFD_CLOEXEC, 0) : -1;
    if (copy < 0)
        return [](const std::string&) { return AddedWatch{}; };
    const auto instance = std::make_shared<const OwnedDescriptor>(copy);
    return [instance](const std::string& folder) { return addWatchOn(instance->fd, folder); };
}

void InotifyReader::removeWatch(int watch)
{
    if (fd_ >= 0)
        inotify_rm_watch(fd_, watch);
}

WatchEventRead InotifyReader::readAvailable(std::size_t maxBytes)
{
    WatchEventRead read;
    if (fd_ < 0)
        return read;
    alignas(inotify_event) char buffer[64 * 1024];
    std::size_t total = 0;
    while (true) {
        if (total >= maxBytes) {
            int waiting = 0;
            read.moreWaiting = ::ioctl(fd_, FIONREAD, &waiting) == 0 && waiting > 0;
            break;
        }
        const ssize_t got = ::read(fd_, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break; // EAGAIN: the queue is empty
        auto decoded = decode(buffer, static_cast<std::size_t>(got));
        read.events.insert(read.events.end(), std::make_move_iterator(decoded.begin()),
                           std::make_move_iterator(decoded.end()));
        total += static_cast<std::size_t>(got);
    }
    read.bytes = total;
    return read;
}

std::size_t InotifyReader::bytesWaiting() const
{
    int waiting = 0;
    return fd_ >= 0 && ::ioctl(fd_, FIONREAD, &waiting) == 0 && waiting > 0 ? static_cast<std::size_t>(waiting) : 0;
}

std::vector<RawWatchEvent> InotifyReader::decode(const char* buffer, std::size_t size)
{
    std::vector<RawWatchEvent> events;
    std::size_t offset = 0;
    while (offset + sizeof(inotify_event) <= size) {
        inotify_event header;
        std::memcpy(&header, buffer + offset, sizeof header);
        const std::size_t recordSize = sizeof header + header.len;
        if (offset + recordSize > size)
            break;
        RawWatchEvent event{header.wd, header.mask, header.cookie, {}};
        if (header.len > 0) {
            const char* name = buffer + offset + sizeof header;
            event.name.assign(name, strnlen(name, header.len));
        }
        events.push_back(std::move(event));
        offset += recordSize;
    }
    return events;
}

InotifyLimit watchLimit(const std::string& userNamespaceLimitFile, const std::string& machineLimitFile)
{
    return lowerLimit(userNamespaceLimitFile, "user.max_inotify_watches", machineLimitFile,
                      "fs.inotify.max_user_watches");
}

InotifyLimit instanceLimit(const std::string& userNamespaceLimitFile, const std::string& machineLimitFile)
{
    return lowerLimit(userNamespaceLimitFile, "user.max_inotify_instances", machineLimitFile,
                      "fs.inotify.max_user_instances");
}

long maxQueuedEvents()
{
    return readProcNumber("/proc/sys/fs/inotify/max_queued_events");
}

} // namespace dw::platform
