// SPDX-License-Identifier: MIT
#pragma once
// The kernel side of the file watcher: one inotify instance, opened
// non-blocking, with its watches and a reader that never waits.

#include "platform/changes/filewatch/RawWatchEvent.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace dw::platform {

enum class AddWatchResult { Added, LimitReached, Failed };

struct AddedWatch {
    AddWatchResult result = AddWatchResult::Failed;
    int watch = -1;
};

struct WatchEventRead {
    std::vector<RawWatchEvent> events;
    bool moreWaiting = false; // the read stopped at its budget with events still queued
    std::size_t bytes = 0; // of the kernel's queue
};

class InotifyReader {
public:
    InotifyReader();
    ~InotifyReader();
    InotifyReader(const InotifyReader&) = delete;
    InotifyReader& operator=(const InotifyReader&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    int fileDescriptor() const { return fd_; }

    // Watches the folder itself (not following a final symbolic link would
    // hide the folders users reach through links, so links are followed).
    AddedWatch addWatch(const std::string& folder);
    // The same, callable on another thread. It keeps the instance open for
    // as long as it lives: one still adding after the reader is gone adds
    // to an instance nobody reads, not to whatever took its descriptor.
    using WatchAdder = std::function<AddedWatch(const std::string& folder)>;
    WatchAdder adderForOtherThreads() const;
    void removeWatch(int watch);

    // The bytes of events queued now.
    std::size_t bytesWaiting() const;

    // Reads what is queued now, up to about `maxBytes`; never blocks.
    WatchEventRead readAvailable(std::size_t maxBytes);

    // Decodes a buffer of kernel records; a truncated record at the end is
    // ignored.
    static std::vector<RawWatchEvent> decode(const char* buffer, std::size_t size);

private:
    int fd_ = -1;
};

// The kernel's queue limit, for telling the user how to raise it (0 when
// unknown).
long maxQueuedEvents();

// A limit of the kernel's that applies to this process, with the sysctl
// setting that raises it. Inside a user namespace the namespace's own limit
// (under /proc/sys/user) counts as well as the machine-wide one (under
// /proc/sys/fs/inotify, which is the initial namespace's); the lower one is
// reached first, so that is the one told.
struct InotifyLimit {
    long value = 0; // 0 when unknown
    std::string setting;
};

// Watched folders per user.
InotifyLimit watchLimit(const std::string& userNamespaceLimitFile = "/proc/sys/user/max_inotify_watches",
                        const std::string& machineLimitFile = "/proc/sys/fs/inotify/max_user_watches");
// Watching programs (inotify instances) per user.
InotifyLimit instanceLimit(const std::string& userNamespaceLimitFile = "/proc/sys/user/max_inotify_instances",
                           const std::string& machineLimitFile = "/proc/sys/fs/inotify/max_user_instances");

} // namespace dw::platform
