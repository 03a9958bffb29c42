#pragma once
// The kernel side of the file watcher: one inotify instance, opened
// non-blocking, with its watches and a reader that never waits.

#include "platform/changes/filewatch/RawWatchEvent.h"

#include <cstddef>
#include <string>
#include <vector>

namespace dw::platform {

enum class AddWatchResult { Added, LimitReached, Failed };

struct AddedWatch {
    AddWatchResult result = AddWatchResult::Failed;
    int watch = -1;
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
    void removeWatch(int watch);

    // Reads what is queued now, up to about `maxBytes`; never blocks.
    std::vector<RawWatchEvent> readAvailable(std::size_t maxBytes);

    // Decodes a buffer of kernel records; a truncated record at the end is
    // ignored.
    static std::vector<RawWatchEvent> decode(const char* buffer, std::size_t size);

private:
    int fd_ = -1;
};

// The kernel's limits, for telling the user how to raise them (0 when unknown).
long maxUserWatches();
long maxQueuedEvents();
long maxUserInstances();

} // namespace dw::platform
