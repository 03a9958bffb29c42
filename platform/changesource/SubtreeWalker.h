// SPDX-License-Identifier: MIT
#pragma once
// Finds every folder of a subtree on a worker thread, so that a recursive
// registration can have all of them watched without the UI thread reading a
// single folder.
//
// A walk lists its root and then, breadth first, every folder below it; the
// folders come back in batches, each with the entries it was found to hold
// (the watcher keeps them as its record of the folder). It does not follow
// symbolic links, does not enter other mounted file systems (a network share
// may not answer, a disk may be huge), stops after a given number of folders
// and can be cancelled at any time.
//
// Batches are handed to the sink on the worker thread. Destroying the walker
// cancels what is under way; a worker stuck on a disk that no longer
// answers is abandoned rather than waited for, so that the program's end
// never hangs on it.

#include "platform/changes/filewatch/FolderEntries.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace dw::platform {

struct WalkedFolder {
    std::string path;
    FolderListing entries;
};

struct WalkedFolders {
    std::uint64_t walk = 0; // the number of the walk's request
    std::vector<WalkedFolder> folders;
    bool finished = false;  // the walk's last batch
    bool truncated = false; // it stopped at its limit with folders left
};

struct WalkRequest {
    std::uint64_t walk = 0;
    std::string root;
    std::size_t maxFolders = 0;
    std::vector<std::string> mountPoints; // sorted: not entered
};

class SubtreeWalker {
public:
    using Sink = std::function<void(WalkedFolders)>;

    explicit SubtreeWalker(Sink sink);
    ~SubtreeWalker();
    SubtreeWalker(const SubtreeWalker&) = delete;
    SubtreeWalker& operator=(const SubtreeWalker&) = delete;

    // Queues a walk; walks run one after the other.
    void walk(WalkRequest request);
    // Drops every queued walk and ends the one under way (its last batch
    // still comes, finished).
    void cancelAll();

    // Folders a batch holds at most.
    static constexpr std::size_t kBatchSize = 256;

    // What the walker and its worker share; it lives as long as either.
    struct Shared;

private:
    std::shared_ptr<Shared> shared_;
    std::thread worker_;
};

} // namespace dw::platform
