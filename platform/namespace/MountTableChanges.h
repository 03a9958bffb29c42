// SPDX-License-Identifier: MIT
#pragma once
// Tells whether a mount table changed since it was last looked at, without
// reading it: the kernel flags its own table (/proc/self/mounts) through
// poll(). Any other file (a test's fixture, whose mount points may appear
// after it was written) counts as changed every time.

#include <mutex>
#include <string>

namespace dw::platform {

class MountTableChanges {
public:
    explicit MountTableChanges(const std::string& path);
    ~MountTableChanges();
    MountTableChanges(const MountTableChanges&) = delete;
    MountTableChanges& operator=(const MountTableChanges&) = delete;

    // True the first time, and whenever the table changed since the last
    // call. Thread-safe.
    bool changedSinceLastLook();

private:
    std::mutex mutex_;
    int pollFd_ = -1; // open on the kernel's table
    bool firstLook_ = true;
};

} // namespace dw::platform
