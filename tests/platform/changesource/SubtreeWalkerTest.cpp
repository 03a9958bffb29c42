// SPDX-License-Identifier: MIT
// Walking a subtree on the walker's thread: every folder once, with its
// entries, never through a link or into another mounted file system, and no
// further than asked.
#include "platform/changesource/SubtreeWalker.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>

namespace dw::platform {
namespace {

namespace fs = std::filesystem;

class SubtreeWalkerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp_.isValid());
        root_ = fs::canonical(temp_.path().toStdString()).string();
        fs::create_directories(root_ + "/a/aa");
        fs::create_directories(root_ + "/b");
        fs::create_directories(root_ + "/mounted/inside");
        std::ofstream(root_ + "/a/cal.dw2").close();
        fs::create_directory_symlink(root_ + "/a", root_ + "/b/link-to-a");
        fs::create_directory_symlink("/", root_ + "/b/link-to-root");
    }

    // Walks and waits for the last batch; answers the folders found, sorted.
    std::vector<std::string> walk(std::size_t maxFolders, bool* truncated = nullptr)
    {
        WalkRequest request;
        request.walk = 7;
        request.root = root_;
        request.maxFolders = maxFolders;
        request.mountPoints = {root_ + "/mounted"};
        walker_.walk(request);
        std::unique_lock guard(lock_);
        EXPECT_TRUE(arrived_.wait_for(guard, std::chrono::seconds(10), [this] { return finished_; }));
        std::vector<std::string> paths;
        for (const auto& folder : found_)
            paths.push_back(folder.path);
        std::sort(paths.begin(), paths.end());
        if (truncated != nullptr)
            *truncated = truncated_;
        return paths;
    }

    QTemporaryDir temp_;
    std::string root_;
    std::mutex lock_;
    std::condition_variable arrived_;
    std::vector<WalkedFolder> found_;
    bool finished_ = false;
    bool truncated_ = false;
    SubtreeWalker walker_{[this](WalkedFolders batch) {
        std::lock_guard guard(lock_);
        EXPECT_EQ(batch.walk, 7u);
        for (auto& folder : batch.folders)
            found_.push_back(std::move(folder));
        finished_ = batch.finished;
        truncated_ = batch.truncated;
        arrived_.notify_all();
    }};
};

TEST_F(SubtreeWalkerTest, FindsEveryFolderOnceWithItsEntriesButNoLinkOrMountedFileSystem)
{
    bool truncated = true;
    const std::vector<std::string> expected = {root_, root_ + "/a", root_ + "/a/aa", root_ + "/b"};
    EXPECT_EQ(walk(100, &truncated), expected);
    EXPECT_FALSE(truncated);
    const auto a = std::find_if(found_.begin(), found_.end(), [this](const auto& f) { return f.path == root_ + "/a"; });
    ASSERT_NE(a, found_.end());
    EXPECT_EQ(a->entries.at("cal.dw2"), EntryKind::File);
    EXPECT_EQ(a->entries.at("aa"), EntryKind::Folder);
    const auto b = std::find_if(found_.begin(), found_.end(), [this](const auto& f) { return f.path == root_ + "/b"; });
    ASSERT_NE(b, found_.end());
    EXPECT_EQ(b->entries.at("link-to-a"), EntryKind::FolderLink) << "recorded as what it is, but not entered";
}

TEST_F(SubtreeWalkerTest, StopsAtItsLimitAndSaysSo)
{
    bool truncated = false;
    EXPECT_EQ(walk(2, &truncated).size(), 2u);
    EXPECT_TRUE(truncated);
}

// A worker stuck in a folder that does not answer (here: in its sink) is
// abandoned, not waited for: waiting would hang the program's end.
TEST(SubtreeWalkerShutdownTest, AStuckWorkerIsAbandonedAndEndsOnItsOwnLater)
{
    QTemporaryDir temp;
    std::mutex lock;
    std::condition_variable changed;
    bool stuck = false;
    bool released = false;
    bool ended = false;
    {
        SubtreeWalker walker([&](WalkedFolders) {
            std::unique_lock guard(lock);
            stuck = true;
            changed.notify_all();
            changed.wait(guard, [&] { return released; });
            ended = true;
            changed.notify_all();
        });
        WalkRequest request;
        request.root = temp.path().toStdString();
        request.maxFolders = 10;
        walker.walk(request);
        std::unique_lock guard(lock);
        changed.wait(guard, [&] { return stuck; });
    } // with a worker that is joined, this never returns
    std::unique_lock guard(lock);
    EXPECT_TRUE(stuck && !ended) << "the walker went only once its worker was free";
    released = true;
    changed.notify_all();
    changed.wait(guard, [&] { return ended; });
}

} // namespace
} // namespace dw::platform
