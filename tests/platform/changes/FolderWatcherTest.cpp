// SPDX-License-Identifier: MIT
#include "platform/changes/filewatch/FolderWatcher.h"

#include "platform/changes/LiveUpdateNotice.h"
#include "platform/changes/ShellChangeEvents.h"
#include "tests/support/HangingShare.h"
#include "tests/support/IsolatedRun.h"
#include "tests/support/qt/EventLoopWaiting.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace dw::platform {
namespace {

namespace fs = std::filesystem;

} // namespace

void PrintTo(const PathChange& change, std::ostream* out)
{
    *out << std::hex << change.eventId << std::dec << " " << change.path1 << " -> " << change.path2
         << (change.isFolder ? " (folder)" : "");
}

namespace {

class FolderWatcherTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp_.isValid());
        base_ = temp_.path().toStdString();
        root_ = base_ + "/watched";
        outside_ = base_ + "/outside";
        fs::create_directories(root_ + "/a");
        fs::create_directories(root_ + "/b");
        fs::create_directories(outside_);
        ASSERT_TRUE(watcher_.isAvailable());
        for (const auto& folder : {root_, root_ + "/a", root_ + "/b"})
            ASSERT_TRUE(watch(folder));
    }

    // Watches `folder` and waits until what it holds is read; true when it
    // is watched.
    bool watch(const std::string& folder)
    {
        watcher_.watchFolder(folder);
        dw::test::processEventsUntil([&] { return !watcher_.isStartingWatches(); }, 2000, 0);
        return watcher_.isWatched(folder);
    }

    // Runs the event loop until `count` changes arrived (or two seconds
    // passed), then a little longer to catch any that should not come.
    const std::vector<PathChange>& waitFor(std::size_t count, qint64 patienceMs = 2000)
    {
        dw::test::processEventsUntil([&] { return received_.size() >= count; }, patienceMs, 60);
        return received_;
    }

    static void touch(const std::string& path, const std::string& content = {})
    {
        std::ofstream file(path, std::ios::binary);
        file << content;
    }

    QTemporaryDir temp_;
    std::string base_;
    std::string root_;
    std::string outside_;
    std::vector<PathChange> received_;
    FolderWatcher watcher_{[this](const std::vector<PathChange>& changes) {
        received_.insert(received_.end(), changes.begin(), changes.end());
    }};
};

TEST_F(FolderWatcherTest, EachKindOfChangeArrivesOnceInOrder)
{
    fs::create_directory(root_ + "/made");
    touch(root_ + "/a/new.dw2");
    touch(root_ + "/a/written.dw2");
    waitFor(3);
    received_.clear();
    {
        std::ofstream file(root_ + "/a/written.dw2", std::ios::binary | std::ios::app);
        file << "content";
    }
    fs::permissions(root_ + "/a/new.dw2", fs::perms::owner_read);
    fs::remove(root_ + "/a/new.dw2");
    fs::remove(root_ + "/made");

    const std::vector<PathChange> expected = {
        {SHCNE_UPDATEITEM, root_ + "/a/written.dw2", "", false},
        {SHCNE_ATTRIBUTES, root_ + "/a/new.dw2", "", false},
        {SHCNE_DELETE, root_ + "/a/new.dw2", "", false},
        {SHCNE_RMDIR, root_ + "/made", "", true},
    };
    EXPECT_EQ(waitFor(expected.size()), expected);
}

TEST_F(FolderWatcherTest, ChangesAfterABurstAreStillRead)
{
    for (int i = 0; i < 20; ++i)
        touch(root_ + "/a/burst" + std::to_string(i));
    watcher_.processPendingEvents(); // a read of several: the next waits a moment
    received_.clear();
    // One change during that pause, read when it ends; then one on its own.
    touch(root_ + "/b/single0");
    EXPECT_EQ(waitFor(1), (std::vector<PathChange>{{SHCNE_CREATE, root_ + "/b/single0", "", false}}));
    received_.clear();
    touch(root_ + "/b/single1");
    EXPECT_EQ(waitFor(1), (std::vector<PathChange>{{SHCNE_CREATE, root_ + "/b/single1", "", false}}));
}

TEST_F(FolderWatcherTest, CreatesAreToldAsFileOrFolder)
{
    fs::create_directory(root_ + "/made");
    touch(root_ + "/a/new.dw2");
    const std::vector<PathChange> expected = {
        {SHCNE_MKDIR, root_ + "/made", "", true},
        {SHCNE_CREATE, root_ + "/a/new.dw2", "", false},
    };
    EXPECT_EQ(waitFor(expected.size()), expected);
}

TEST_F(FolderWatcherTest, RenameWithinAndAcrossWatchedFoldersIsOneReport)
{
    touch(root_ + "/a/cal.dw2");
    waitFor(1);
    received_.clear();
    fs::rename(root_ + "/a/cal.dw2", root_ + "/a/renamed.dw2");
    fs::rename(root_ + "/a/renamed.dw2", root_ + "/b/moved.dw2");
    const std::vector<PathChange> expected = {
        {SHCNE_RENAMEITEM, root_ + "/a/cal.dw2", root_ + "/a/renamed.dw2", false},
        {SHCNE_RENAMEITEM, root_ + "/a/renamed.dw2", root_ + "/b/moved.dw2", false},
    };
    EXPECT_EQ(waitFor(expected.size()), expected);
}

TEST_F(FolderWatcherTest, RenamedFolderIsFollowedUnderItsNewName)
{
    fs::rename(root_ + "/a", root_ + "/a2");
    touch(root_ + "/a2/inside.dw2");
    const std::vector<PathChange> expected = {
        {SHCNE_RENAMEFOLDER, root_ + "/a", root_ + "/a2", true},
        {SHCNE_CREATE, root_ + "/a2/inside.dw2", "", false},
    };
    EXPECT_EQ(waitFor(expected.size()), expected);
    EXPECT_TRUE(watcher_.isWatched(root_ + "/a2"));
}

TEST_F(FolderWatcherTest, MoveOutIsADeleteAndMoveInACreate)
{
    touch(root_ + "/a/leaving.dw2");
    touch(outside_ + "/arriving.dw2");
    waitFor(1);
    received_.clear();
    fs::rename(root_ + "/a/leaving.dw2", outside_ + "/leaving.dw2");
    fs::rename(outside_ + "/arriving.dw2", root_ + "/b/arriving.dw2");
    const std::vector<PathChange> expected = {
        {SHCNE_DELETE, root_ + "/a/leaving.dw2", "", false},
        {SHCNE_CREATE, root_ + "/b/arriving.dw2", "", false},
    };
    EXPECT_EQ(waitFor(expected.size()), expected);
}

TEST_F(FolderWatcherTest, FolderMovedOutStopsBeingWatched)
{
    fs::rename(root_ + "/b", outside_ + "/b");
    touch(outside_ + "/b/unseen.dw2");
    const std::vector<PathChange> expected = {{SHCNE_RMDIR, root_ + "/b", "", true}};
    EXPECT_EQ(waitFor(2, 300), expected);
    EXPECT_FALSE(watcher_.isWatched(root_ + "/b"));
    EXPECT_FALSE(watcher_.isWatched(outside_ + "/b"));
}

TEST_F(FolderWatcherTest, RemovedFolderLosesItsWatch)
{
    fs::remove(root_ + "/b");
    const std::vector<PathChange> expected = {{SHCNE_RMDIR, root_ + "/b", "", true}};
    EXPECT_EQ(waitFor(1), expected);
    EXPECT_EQ(watcher_.watchedFolderCount(), 2u);
}

TEST_F(FolderWatcherTest, NamesWithOddBytesKeepThemExactly)
{
    const std::string odd = std::string("line\nbreak \xff\xfe") + "\t.dw2";
    touch(root_ + "/" + odd);
    const auto& received = waitFor(1);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].path1, root_ + "/" + odd);
}

TEST_F(FolderWatcherTest, UnwatchedTreeIsSilent)
{
    watcher_.unwatchTree(root_ + "/a");
    touch(root_ + "/a/quiet.dw2");
    EXPECT_TRUE(waitFor(1, 300).empty());
    EXPECT_FALSE(watch(base_ + "/no-such-folder"));
}

TEST_F(FolderWatcherTest, ReachedWatchLimitAsksForARereadAndTellsTheUserOnce)
{
    ClearLiveUpdateNotices();
    std::vector<std::string> heard;
    SetLiveUpdateNoticeHandler([&heard](const std::string& notice) { heard.push_back(notice); });
    watcher_.setWatchAdder([](const std::string&) { return AddedWatch{AddWatchResult::LimitReached, -1}; });
    fs::create_directories(root_ + "/c");
    fs::create_directories(root_ + "/d");
    waitFor(2);
    received_.clear();

    EXPECT_FALSE(watch(root_ + "/c"));
    EXPECT_FALSE(watch(root_ + "/d"));
    // The view re-reads "c" and so enumerates it again: no second report,
    // or view and watcher would keep each other busy.
    EXPECT_FALSE(watch(root_ + "/c"));
    SetLiveUpdateNoticeHandler({});

    const std::vector<PathChange> expected = {
        {SHCNE_UPDATEDIR, root_ + "/c", "", true},
        {SHCNE_UPDATEDIR, root_ + "/d", "", true},
    };
    EXPECT_EQ(received_, expected);
    ASSERT_EQ(heard.size(), 1u) << "told once";
    EXPECT_NE(heard[0].find("fs.inotify.max_user_watches"), std::string::npos);
    EXPECT_EQ(LiveUpdateNotice(), heard[0]);
    EXPECT_FALSE(watcher_.isWatched(root_ + "/c"));
}

TEST_F(FolderWatcherTest, QueueOverflowAsksForARereadAndTellsTheUserOnce)
{
    const long queueLimit = maxQueuedEvents();
    if (queueLimit <= 0 || queueLimit > 70000)
        GTEST_SKIP() << "the kernel queues too many events to overflow it quickly";
    ClearLiveUpdateNotices();
    // Nothing is read while the files are made, so the kernel's queue fills.
    for (long i = 0; i <= queueLimit; ++i)
        touch(root_ + "/a/f" + std::to_string(i));
    waitFor(1000000, 1000); // everything that comes

    const PathChange reread{SHCNE_UPDATEDIR, root_, "", true};
    EXPECT_NE(std::find(received_.begin(), received_.end(), reread), received_.end());
    EXPECT_NE(LiveUpdateNotice().find("max_queued_events"), std::string::npos);
    EXPECT_LT(received_.size(), 100u) << "the burst was not coalesced";
}

TEST_F(FolderWatcherTest, LinksToFoldersAreToldAsFolders)
{
    fs::create_directories(outside_ + "/target");
    touch(outside_ + "/file.dw2");
    // Read in between as a user's actions would be: a link must still be
    // there when its arrival is read to tell where it points.
    fs::create_directory_symlink(outside_ + "/target", root_ + "/a/to-folder");
    fs::create_symlink(outside_ + "/file.dw2", root_ + "/a/to-file");
    waitFor(2);
    fs::rename(root_ + "/a/to-folder", root_ + "/a/renamed");
    waitFor(3);
    fs::remove(root_ + "/a/renamed");
    fs::remove(root_ + "/a/to-file");

    const std::vector<PathChange> expected = {
        {SHCNE_MKDIR, root_ + "/a/to-folder", "", true},
        {SHCNE_CREATE, root_ + "/a/to-file", "", false},
        {SHCNE_RENAMEFOLDER, root_ + "/a/to-folder", root_ + "/a/renamed", true},
        {SHCNE_RMDIR, root_ + "/a/renamed", "", true},
        {SHCNE_DELETE, root_ + "/a/to-file", "", false},
    };
    EXPECT_EQ(waitFor(expected.size()), expected);
}

TEST_F(FolderWatcherTest, LinkToAFolderThatWasThereBeforeWatchingIsToldGoneAsAFolder)
{
    fs::create_directories(outside_ + "/target");
    fs::create_directories(root_ + "/c");
    fs::create_directory_symlink(outside_ + "/target", root_ + "/c/old-link");
    waitFor(1); // root_/c itself
    received_.clear();
    ASSERT_TRUE(watch(root_ + "/c"));
    fs::rename(root_ + "/c/old-link", outside_ + "/moved-out");
    touch(root_ + "/c/after.dw2"); // the move out is settled by what follows
    const std::vector<PathChange> expected = {
        {SHCNE_RMDIR, root_ + "/c/old-link", "", true},
        {SHCNE_CREATE, root_ + "/c/after.dw2", "", false},
    };
    EXPECT_EQ(waitFor(expected.size()), expected);
}

TEST_F(FolderWatcherTest, RenameOntoAnExistingNameToldTheReplacedItemGoneFirst)
{
    touch(root_ + "/a/f1");
    touch(root_ + "/a/f2");
    fs::create_directory(root_ + "/a/x");
    fs::create_directory(root_ + "/a/y");
    waitFor(4);
    received_.clear();

    fs::rename(root_ + "/a/f1", root_ + "/a/f2");
    fs::rename(root_ + "/a/x", root_ + "/a/y"); // an empty folder is replaced too
    const std::vector<PathChange> expected = {
        {SHCNE_DELETE, root_ + "/a/f2", "", false},
        {SHCNE_RENAMEITEM, root_ + "/a/f1", root_ + "/a/f2", false},
        {SHCNE_RMDIR, root_ + "/a/y", "", true},
        {SHCNE_RENAMEFOLDER, root_ + "/a/x", root_ + "/a/y", true},
    };
    EXPECT_EQ(waitFor(expected.size()), expected);
}

TEST_F(FolderWatcherTest, MoveInOverAnExistingNameToldTheReplacedItemGoneFirst)
{
    touch(root_ + "/b/cal.dw2");
    touch(outside_ + "/cal.dw2");
    waitFor(1);
    received_.clear();

    fs::rename(outside_ + "/cal.dw2", root_ + "/b/cal.dw2");
    const std::vector<PathChange> expected = {
        {SHCNE_DELETE, root_ + "/b/cal.dw2", "", false},
        {SHCNE_CREATE, root_ + "/b/cal.dw2", "", false},
    };
    EXPECT_EQ(waitFor(expected.size()), expected);
}

// What a watched folder holds is read on another thread: a folder whose
// server does not answer holds up neither the call that watches it nor, for
// longer than a moment, the changes of the other folders.
TEST_F(FolderWatcherTest, AFolderWhoseServerDoesNotAnswerHoldsNothingUp)
{
    fs::create_directories(base_ + "/share");
    dw::test::HangingShare share(base_ + "/share", "fileserver:/export");
    if (!share.unavailable().empty()) {
        if (dw::test::RanWithMountsOfItsOwn())
            return;
        GTEST_SKIP() << share.unavailable();
    }
    fs::create_directories(base_ + "/share/sub");
    share.stop();
    // Should the watch wait for the share after all, the server answers
    // after a while, so that the test ends and fails instead of hanging.
    dw::test::ShareRescue rescue(share, 20000);
    QElapsedTimer clock;
    clock.start();
    watcher_.watchFolder(base_ + "/share/sub");
    const qint64 watchMs = clock.elapsed();
    rescue.done();
    EXPECT_LT(watchMs, 5000) << "the watch waited for the server";

    touch(root_ + "/a/meanwhile.dw2");
    const std::vector<PathChange> expected = {{SHCNE_CREATE, root_ + "/a/meanwhile.dw2", "", false}};
    EXPECT_EQ(waitFor(expected.size(), 4000), expected);
}

} // namespace
} // namespace dw::platform
