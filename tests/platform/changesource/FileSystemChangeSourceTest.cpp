// SPDX-License-Identifier: MIT
// The file system as a source of change reports, end to end: real folders,
// the real namespace, registrations and a window handling the reports under
// an event loop.
#include "platform/changesource/FileSystemChangeSource.h"

#include "platform/changes/ChangeNotify.h"
#include "platform/changes/ChangeRegistry.h"
#include "platform/changes/LiveUpdateNotice.h"
#include "platform/namespace/IdRecord.h"
#include "platform/namespace/ShellNamespace.h"
#include "tests/support/qt/EventLoopWaiting.h"
#include "tests/support/qt/FolderOpening.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include <filesystem>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace dw::platform {
namespace {

namespace fs = std::filesystem;

struct Report {
    long eventId;
    std::string item1;
    std::string item2;
    bool operator==(const Report&) const = default;
};

void PrintTo(const Report& report, std::ostream* out)
{
    *out << std::hex << report.eventId << std::dec << " " << report.item1 << " -> " << report.item2;
}

std::string nameOf(const ItemIdList* list)
{
    return list == nullptr ? std::string("-") : idListToParsingName(list);
}

class FileSystemChangeSourceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp_.isValid());
        base_ = fs::canonical(temp_.path().toStdString()).string();
        root_ = base_ + "/watched";
        outside_ = base_ + "/outside";
        fs::create_directories(root_ + "/a");
        fs::create_directories(root_ + "/unopened");
        fs::create_directories(outside_);
        ASSERT_NE(FileSystemChangeSource::start(), nullptr);
    }

    void TearDown() override
    {
        if (id_ != 0)
            SHChangeNotifyDeregister(id_);
        if (usesFixtureTable_)
            FileSystemChangeSource::instance()->watchMountTable("/proc/self/mounts", "/sys/block");
    }

    // Has the source read a fixture mount table (the root's line, then
    // `lines`) instead of the machine's: nothing reaches the machine's own
    // table, and volumes other programs mount meanwhile are not heard.
    void useMountTable(const std::string& lines)
    {
        writeMountTable(lines);
        FileSystemChangeSource::instance()->watchMountTable(base_ + "/mounts", base_ + "/sys/block");
        usesFixtureTable_ = true;
    }

    // Writes the fixture table anew and has the source read it.
    void remount(const std::string& lines)
    {
        writeMountTable(lines);
        FileSystemChangeSource::instance()->mountWatcher()->rescan();
    }

    void watch(const std::string& folder, bool recursive)
    {
        IdListPtr list = parsingNameToIdList(folder);
        ASSERT_TRUE(list);
        const SHChangeNotifyEntry entry{list.get(), recursive};
        id_ = SHChangeNotifyRegister(&window_, SHCNRF_InterruptLevel | SHCNRF_ShellLevel, SHCNE_ALLEVENTS,
                                     WM_USER + 1, 1, &entry);
        ASSERT_NE(id_, 0u);
        QCoreApplication::processEvents();
    }

    // Deregisters, and lets the source drop what is no longer wanted.
    void stopWatching()
    {
        SHChangeNotifyDeregister(id_);
        id_ = 0;
        QCoreApplication::processEvents();
    }

    static void waitForWalks()
    {
        dw::test::processEventsUntil([] { return !FileSystemChangeSource::instance()->isWalkingSubtrees(); }, 5000,
                                     20);
    }

    const std::vector<Report>& waitFor(std::size_t count, qint64 patienceMs = 2000)
    {
        dw::test::processEventsUntil([&] { return reports_.size() >= count; }, patienceMs);
        return reports_;
    }

    static void touch(const std::string& path)
    {
        std::ofstream file(path, std::ios::binary);
    }

    void writeMountTable(const std::string& lines)
    {
        std::ofstream(base_ + "/mounts", std::ios::trunc) << "/dev/sda1 / ext4 rw 0 0\n" << lines;
    }

    QTemporaryDir temp_;
    std::string base_;
    std::string root_;
    std::string outside_;
    std::vector<Report> reports_;
    MessageWindow window_{[this](unsigned, WPARAM wParam, LPARAM lParam) {
        const auto* lists = reinterpret_cast<const SHChangeNotifyLists*>(wParam);
        reports_.push_back({static_cast<long>(lParam), nameOf(lists->item1), nameOf(lists->item2)});
        return LRESULT{0};
    }};
    unsigned long id_ = 0;
    bool usesFixtureTable_ = false;
};

TEST_F(FileSystemChangeSourceTest, ChangesInOpenedFoldersArriveOnceInOrderWithTheirLists)
{
    watch(root_, true);
    dw::test::openFolder(root_);
    dw::test::openFolder(root_ + "/a");

    // In steps small enough to pass unfolded (a view keeps six reports waiting).
    fs::create_directory(root_ + "/made");
    touch(root_ + "/a/cal.dw2");
    fs::rename(root_ + "/a/cal.dw2", root_ + "/a/renamed.dw2");
    waitFor(3);
    fs::rename(root_ + "/a/renamed.dw2", root_ + "/moved.dw2");
    waitFor(4); // an attribute change in the read that brought the name is not told
    fs::permissions(root_ + "/moved.dw2", fs::perms::owner_read);
    fs::rename(root_ + "/moved.dw2", outside_ + "/gone.dw2");
    fs::remove(root_ + "/made");

    const std::vector<Report> expected = {
        {SHCNE_MKDIR, root_ + "/made", "-"},
        {SHCNE_CREATE, root_ + "/a/cal.dw2", "-"},
        {SHCNE_RENAMEITEM, root_ + "/a/cal.dw2", root_ + "/a/renamed.dw2"},
        {SHCNE_RENAMEITEM, root_ + "/a/renamed.dw2", root_ + "/moved.dw2"},
        {SHCNE_ATTRIBUTES, root_ + "/moved.dw2", "-"},
        {SHCNE_DELETE, root_ + "/moved.dw2", "-"},
        {SHCNE_RMDIR, root_ + "/made", "-"},
    };
    EXPECT_EQ(waitFor(expected.size()), expected);
}

TEST_F(FileSystemChangeSourceTest, BurstTooBigForAViewsQueueArrivesAsOneFolderUpdate)
{
    watch(root_, true);
    dw::test::openFolder(root_);
    for (int i = 0; i < 7; ++i)
        fs::create_directory(root_ + "/d" + std::to_string(i));
    const std::vector<Report> expected = {{SHCNE_UPDATEDIR, root_, "-"}};
    EXPECT_EQ(waitFor(2, 500), expected);
}

TEST_F(FileSystemChangeSourceTest, RecursiveRegistrationWatchesFoldersNoViewHasOpened)
{
    fs::create_directories(root_ + "/unopened/deeper");
    watch(root_, true);
    waitForWalks();
    touch(root_ + "/unopened/deeper/heard.dw2");
    EXPECT_EQ(waitFor(1), (std::vector<Report>{{SHCNE_CREATE, root_ + "/unopened/deeper/heard.dw2", "-"}}));

    // A folder made later, and one moved in with folders of its own.
    fs::create_directories(outside_ + "/brought/inner");
    fs::create_directory(root_ + "/made");
    fs::rename(outside_ + "/brought", root_ + "/brought");
    waitFor(3);
    waitForWalks();
    touch(root_ + "/made/a.dw2");
    touch(root_ + "/brought/inner/b.dw2");
    const std::vector<Report> expected = {
        {SHCNE_CREATE, root_ + "/unopened/deeper/heard.dw2", "-"},
        {SHCNE_MKDIR, root_ + "/made", "-"},
        {SHCNE_MKDIR, root_ + "/brought", "-"},
        {SHCNE_CREATE, root_ + "/made/a.dw2", "-"},
        {SHCNE_CREATE, root_ + "/brought/inner/b.dw2", "-"},
    };
    EXPECT_EQ(waitFor(expected.size()), expected);
}

TEST_F(FileSystemChangeSourceTest, SubtreeBeyondTheBudgetIsWatchedInPartAndTheNoticeSaysSo)
{
    for (int i = 0; i < 6; ++i)
        fs::create_directories(root_ + "/many/f" + std::to_string(i));
    FileSystemChangeSource* source = FileSystemChangeSource::instance();
    auto& watcher = source->folderWatcher();
    QCoreApplication::processEvents(); // earlier tests' watches go
    const std::size_t budget = source->subtreeWatchBudget();
    const auto restore = qScopeGuard([source, budget] { source->setSubtreeWatchBudget(budget); });
    source->setSubtreeWatchBudget(watcher.watchedFolderCount() + 4);
    ClearLiveUpdateNotices();

    watch(root_, true);
    waitForWalks();
    EXPECT_LE(watcher.watchedFolderCount(), source->subtreeWatchBudget());
    EXPECT_TRUE(watcher.isWatched(root_));
    const std::string notice = LiveUpdateNotice();
    EXPECT_NE(notice.find(root_ + " holds more folders than the " + std::to_string(source->subtreeWatchBudget())),
              std::string::npos)
        << notice;

    // A folder beyond the budget is still watched once a view opens it.
    dw::test::openFolder(root_ + "/many/f5");
    EXPECT_TRUE(watcher.isWatched(root_ + "/many/f5"));
}

TEST_F(FileSystemChangeSourceTest, WholeNamespaceRegistrationWatchesWhatViewsOpened)
{
    const SHChangeNotifyEntry entry{nullptr, true};
    id_ = SHChangeNotifyRegister(&window_, SHCNRF_InterruptLevel, SHCNE_CREATE, WM_USER + 1, 1, &entry);
    ASSERT_NE(id_, 0u);
    waitForWalks();
    auto& watcher = FileSystemChangeSource::instance()->folderWatcher();
    EXPECT_FALSE(watcher.isWatched(root_ + "/unopened")) << "the desktop stands for whole disks";
    dw::test::openFolder(root_ + "/unopened");
    EXPECT_TRUE(watcher.isWatched(root_ + "/unopened"));
    touch(root_ + "/unopened/heard.dw2");
    EXPECT_EQ(waitFor(1), (std::vector<Report>{{SHCNE_CREATE, root_ + "/unopened/heard.dw2", "-"}}));
}

// A listing on a worker reads the folder before its watch begins: what is
// made in between arrives as one update of the folder.
TEST_F(FileSystemChangeSourceTest, AChangeBetweenAListingAndItsWatchIsReported)
{
    const SHChangeNotifyEntry entry{nullptr, true};
    id_ = SHChangeNotifyRegister(&window_, SHCNRF_InterruptLevel, SHCNE_ALLEVENTS, WM_USER + 1, 1, &entry);
    ASSERT_NE(id_, 0u);
    waitForWalks();
    const std::string folder = root_ + "/unopened";
    struct stat before {};
    ASSERT_EQ(::stat(folder.c_str(), &before), 0);
    const std::int64_t listedAt = static_cast<std::int64_t>(before.st_mtim.tv_sec) * 1000000000 + before.st_mtim.tv_nsec;
    std::thread([&] { notifyFolderEnumerated(folder, listedAt); }).join();
    ::usleep(10000); // let the folder's time move on, whatever its granularity
    touch(folder + "/made-meanwhile.dw2");
    EXPECT_EQ(waitFor(1), (std::vector<Report>{{SHCNE_UPDATEDIR, folder, "-"}}));
}

TEST_F(FileSystemChangeSourceTest, SubtreeNoLongerRegisteredIsLeftButWhatViewsListedStays)
{
    MessageWindow quiet([](unsigned, WPARAM, LPARAM) { return LRESULT{0}; });
    const SHChangeNotifyEntry everything{nullptr, true};
    const unsigned long wholeNamespace =
        SHChangeNotifyRegister(&quiet, SHCNRF_InterruptLevel, SHCNE_CREATE, WM_USER + 1, 1, &everything);
    const auto deregister = qScopeGuard([wholeNamespace] { SHChangeNotifyDeregister(wholeNamespace); });
    watch(root_, true);
    waitForWalks();
    dw::test::openFolder(root_ + "/a");
    auto& watcher = FileSystemChangeSource::instance()->folderWatcher();
    ASSERT_TRUE(watcher.isWatched(root_ + "/unopened"));

    stopWatching();
    EXPECT_FALSE(watcher.isWatched(root_ + "/unopened")) << "its watch would count against the budget forever";
    EXPECT_TRUE(watcher.isWatched(root_ + "/a")) << "a view shows it";
}

TEST_F(FileSystemChangeSourceTest, PlainRegistrationWatchesItsFolderOnly)
{
    watch(root_, false);
    dw::test::openFolder(root_ + "/a");
    touch(root_ + "/a/below.dw2");
    touch(root_ + "/top.dw2");
    const std::vector<Report> expected = {{SHCNE_CREATE, root_ + "/top.dw2", "-"}};
    EXPECT_EQ(waitFor(2, 500), expected);
}

TEST_F(FileSystemChangeSourceTest, DeregisteringDropsTheWatches)
{
    watch(root_, true);
    dw::test::openFolder(root_ + "/a");
    auto& watcher = FileSystemChangeSource::instance()->folderWatcher();
    EXPECT_TRUE(watcher.isWatched(root_ + "/a"));
    stopWatching();
    EXPECT_FALSE(watcher.isWatched(root_ + "/a"));
    EXPECT_FALSE(watcher.isWatched(root_));
}

TEST_F(FileSystemChangeSourceTest, OwnOperationReportedByTheNamespaceArrivesOnce)
{
    watch(root_, true);
    dw::test::openFolder(root_);
    // What a namespace operation reports at once; the kernel then tells the
    // same change again a moment later.
    fs::create_directory(root_ + "/by-us");
    IdListPtr made = parsingNameToIdList(root_ + "/by-us");
    SHChangeNotify(SHCNE_MKDIR, SHCNF_IDLIST, made.get(), nullptr);
    // The kernel queued its event at the mkdir already: read it now. A change
    // only the kernel tells, read after it, proves its reports get through.
    FileSystemChangeSource::instance()->processPendingEvents();
    fs::create_directory(root_ + "/by-others");
    FileSystemChangeSource::instance()->processPendingEvents();
    const std::vector<Report> expected = {{SHCNE_MKDIR, root_ + "/by-us", "-"},
                                          {SHCNE_MKDIR, root_ + "/by-others", "-"}};
    EXPECT_EQ(waitFor(expected.size()), expected);
    QCoreApplication::processEvents();
    EXPECT_EQ(reports_, expected);
}

TEST_F(FileSystemChangeSourceTest, NamesWithOddBytesKeepThemThroughTheIdLists)
{
    watch(root_, true);
    const std::string odd = root_ + "/a/" + std::string("new\nline \xff\xfe\x01.dw2");
    dw::test::openFolder(root_ + "/a");
    touch(odd);
    fs::remove(odd);
    const std::vector<Report> expected = {{SHCNE_CREATE, odd, "-"}, {SHCNE_DELETE, odd, "-"}};
    EXPECT_EQ(waitFor(expected.size()), expected);
}

TEST_F(FileSystemChangeSourceTest, VolumesAppearingAndGoingAwayAreDrivesAddedAndRemoved)
{
    const std::string fixed = base_ + "/fixed";
    const std::string stick = base_ + "/stick";
    fs::create_directories(base_ + "/sys/block/sdc");
    fs::create_directories(fixed);
    fs::create_directories(stick);
    std::ofstream(base_ + "/sys/block/sdc/removable") << "1\n";
    useMountTable("");
    IdListPtr desktop(ILAlloc(2));
    std::memset(desktop.get(), 0, 2);
    const SHChangeNotifyEntry entry{desktop.get(), true};
    id_ = SHChangeNotifyRegister(&window_, SHCNRF_InterruptLevel,
                                 SHCNE_DRIVEADD | SHCNE_DRIVEREMOVED | SHCNE_MEDIAINSERTED | SHCNE_MEDIAREMOVED,
                                 WM_USER + 1, 1, &entry);
    ASSERT_NE(id_, 0u);

    remount("/dev/sdb1 " + fixed + " ext4 rw 0 0\n/dev/sdc1 " + stick + " vfat rw 0 0\n");
    remount("");
    const std::vector<Report> expected = {
        {SHCNE_DRIVEADD, fixed, "-"},
        {SHCNE_DRIVEADD | SHCNE_MEDIAINSERTED, stick, "-"},
        {SHCNE_DRIVEREMOVED, fixed, "-"},
        {SHCNE_DRIVEREMOVED | SHCNE_MEDIAREMOVED, stick, "-"},
    };
    EXPECT_EQ(waitFor(expected.size()), expected);
}

TEST_F(FileSystemChangeSourceTest, MountInsideAWatchedFolderIsAChangeOfTheMountPointsFolder)
{
    fs::create_directories(root_ + "/sub/disk");
    fs::create_directories(root_ + "/sub/scratch");
    fs::create_directories(root_ + "/sub/share");
    fs::create_directories(outside_ + "/elsewhere");
    useMountTable("");
    watch(root_, true);
    waitForWalks();

    // A disk (a volume of its own) and a memory file system (no volume), then
    // both gone again; a mount in a folder nobody watches is no change.
    remount("/dev/loop7 " + root_ + "/sub/disk ext4 rw 0 0\nnone " + root_ + "/sub/scratch tmpfs rw 0 0\nnone "
            + outside_ + "/elsewhere tmpfs rw 0 0\n");
    remount("");
    const std::vector<Report> expected = {
        {SHCNE_UPDATEDIR, root_ + "/sub/disk", "-"},
        {SHCNE_UPDATEDIR, root_ + "/sub/scratch", "-"},
        {SHCNE_UPDATEDIR, root_ + "/sub/disk", "-"},
        {SHCNE_UPDATEDIR, root_ + "/sub/scratch", "-"},
    };
    EXPECT_EQ(waitFor(expected.size()), expected);
    auto& watcher = FileSystemChangeSource::instance()->folderWatcher();
    EXPECT_TRUE(watcher.isWatched(root_ + "/sub/disk")) << "watched afresh";

    // A network share is reported too, but nothing below its mount point is
    // watched: its server may not answer.
    reports_.clear();
    remount("server:/export " + root_ + "/sub/share nfs4 rw 0 0\n");
    EXPECT_EQ(waitFor(1), (std::vector<Report>{{SHCNE_UPDATEDIR, root_ + "/sub/share", "-"}}));
    EXPECT_FALSE(watcher.isWatched(root_ + "/sub/share"));
    remount("");
    EXPECT_EQ(waitFor(2).size(), 2u);
    EXPECT_TRUE(watcher.isWatched(root_ + "/sub/share")) << "the folder under it is local again";
}

TEST_F(FileSystemChangeSourceTest, RegisteredSubtreeOnAVolumeThatComesBackIsWatchedAgain)
{
    const std::string stickLine = "/dev/sdc1 " + root_ + "/a ext4 rw 0 0\n";
    fs::create_directories(root_ + "/a/cal/deep");
    useMountTable(stickLine);
    watch(root_ + "/a/cal", true);
    waitForWalks();
    auto& watcher = FileSystemChangeSource::instance()->folderWatcher();
    ASSERT_TRUE(watcher.isWatched(root_ + "/a/cal/deep"));

    // Taken away: the kernel ends every watch on it (as here), and back.
    watcher.unwatchTree(root_ + "/a");
    remount("");
    remount(stickLine);
    waitForWalks();
    EXPECT_TRUE(watcher.isWatched(root_ + "/a/cal"));
    EXPECT_TRUE(watcher.isWatched(root_ + "/a/cal/deep"));
}

} // namespace
} // namespace dw::platform
