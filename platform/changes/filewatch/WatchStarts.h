// SPDX-License-Identifier: MIT
#pragma once
// Starts watching folders away from the thread that watches them: the
// kernel's watch and the record of what the folder holds. Adding a watch
// waits for the folder's file system (one whose server does not answer
// never answers), and reading a folder of 100,000 entries takes a tenth of
// a second. Each start runs on a thread of its own, at most kMostAtOnce at
// a time (the rest wait their turn). The watch added is told at once, to
// whoever waits for it; then the folder is read, and what the start made is
// handed to `done` on the thread that owns the starts, through that
// thread's event loop.
// Threads are never waited for: one that hangs holds neither the owner nor
// the program's exit, and once the owner is gone what they made is dropped.

#include "platform/changes/FolderListing.h"
#include "platform/changes/filewatch/InotifyReader.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>

namespace dw::platform {

struct StartedWatch {
    std::string folder;
    AddedWatch added;
    std::optional<FolderListing> entries; // read once the watch was added, when it could be
};

class WatchStarts {
public:
    using Done = std::function<void(std::uint64_t ticket, StartedWatch started)>;

    WatchStarts(QObject* owner, Done done);
    ~WatchStarts();
    WatchStarts(const WatchStarts&) = delete;
    WatchStarts& operator=(const WatchStarts&) = delete;

    struct Start {
        std::uint64_t ticket = 0; // comes back with what was made
        std::future<AddedWatch> added;
    };
    // Queues the start of a watch on `folder` by `addWatch` (which runs on
    // the start's thread).
    Start start(const std::string& folder, InotifyReader::WatchAdder addWatch);

    static constexpr int kMostAtOnce = 4;

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

} // namespace dw::platform
