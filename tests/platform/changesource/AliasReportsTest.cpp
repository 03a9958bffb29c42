// SPDX-License-Identifier: MIT
// A file-system item below the home folder, or in the desktop directory, has
// more than one name in the namespace; its changes reach views under each.
#include "platform/changesource/FileSystemChangeSource.h"

#include "platform/changes/ChangeNotify.h"
#include "platform/namespace/IdRecord.h"
#include "platform/namespace/LinuxShellNamespace.h"
#include "platform/namespace/ShellNamespace.h"
#include "tests/support/qt/EventLoopWaiting.h"
#include "tests/support/qt/FolderOpening.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

namespace dw::platform {
namespace {

namespace fs = std::filesystem;

struct Report {
    long eventId;
    IdListPtr item1;
};

class AliasReportsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp_.isValid());
        home_ = fs::canonical(temp_.path().toStdString()).string() + "/home";
        fs::create_directories(home_ + "/docs");
        fs::create_directories(home_ + "/Desktop");
        NamespaceEnvironment environment;
        environment.homePath = home_;
        environment.desktopPath = home_ + "/Desktop";
        environment.trashPath = home_ + "/.local/share/Trash";
        environment.mountTablePath = "/proc/self/mounts";
        environment.sysBlockPath = "/sys/block";
        scope_ = std::make_unique<ScopedShellNamespace>(std::make_shared<LinuxShellNamespace>(environment));
        ASSERT_NE(FileSystemChangeSource::start(), nullptr);
    }

    void TearDown() override
    {
        if (id_ != 0)
            SHChangeNotifyDeregister(id_);
    }

    // Only creations: other tests running at the same time may mount
    // volumes, which a whole-namespace watch would hear too.
    void watch(const ItemIdList* folder, bool recursive, long events = SHCNE_CREATE)
    {
        const SHChangeNotifyEntry entry{folder, recursive};
        id_ = SHChangeNotifyRegister(&window_, SHCNRF_InterruptLevel, events, WM_USER + 1, 1, &entry);
        ASSERT_NE(id_, 0u);
    }

    // The list a view reached through `folder` holds for its child `name`.
    static IdListPtr childOf(const ItemIdList* folder, const std::string& name)
    {
        IdListPtr relative;
        if (failed(bindToFolder(folder)->ParseDisplayName(name, relative)))
            return nullptr;
        return IdListPtr(ILCombine(folder, relative.get()));
    }

    void waitFor(std::size_t count)
    {
        dw::test::processEventsUntil([&] { return reports_.size() >= count; });
    }

    QTemporaryDir temp_;
    std::string home_;
    std::unique_ptr<ScopedShellNamespace> scope_;
    std::vector<Report> reports_;
    MessageWindow window_{[this](unsigned, WPARAM wParam, LPARAM lParam) {
        const auto* lists = reinterpret_cast<const SHChangeNotifyLists*>(wParam);
        reports_.push_back({static_cast<long>(lParam), cloneIdList(lists->item1)});
        return LRESULT{0};
    }};
    unsigned long id_ = 0;
};

TEST_F(AliasReportsTest, ChangeBelowHomeReachesAViewOfTheHomeItem)
{
    IdListPtr homeItem = makeRecord(IdKind::Home);
    IdListPtr docs = childOf(homeItem.get(), "docs");
    ASSERT_TRUE(docs);
    watch(homeItem.get(), true);
    dw::test::openFolder(docs.get());

    std::ofstream(home_ + "/docs/cal.dw2").close();
    waitFor(1);
    ASSERT_EQ(reports_.size(), 1u) << "only the name under Home is below the watched item";
    EXPECT_EQ(reports_[0].eventId, SHCNE_CREATE);
    IdListPtr expected = childOf(docs.get(), "cal.dw2");
    EXPECT_TRUE(ILIsEqual(reports_[0].item1.get(), expected.get()));
    EXPECT_EQ(idListToParsingName(reports_[0].item1.get()), home_ + "/docs/cal.dw2");
}

TEST_F(AliasReportsTest, ChangeInTheDesktopDirectoryIsAChildOfTheDesktop)
{
    IdListPtr desktop(ILAlloc(2));
    std::memset(desktop.get(), 0, 2);
    watch(desktop.get(), false); // the desktop's own children only
    dw::test::openFolder(desktop.get());

    std::ofstream(home_ + "/Desktop/note.dw2").close();
    waitFor(1);
    ASSERT_EQ(reports_.size(), 1u);
    EXPECT_EQ(ILCount(reports_[0].item1.get()), 1u);
    IdListPtr expected = childOf(desktop.get(), "note.dw2");
    ASSERT_TRUE(expected);
    EXPECT_TRUE(ILIsEqual(reports_[0].item1.get(), expected.get()));
}

TEST_F(AliasReportsTest, WholeNamespaceWatchHearsEveryName)
{
    watch(nullptr, true);
    dw::test::openFolder(home_ + "/Desktop");
    std::ofstream(home_ + "/Desktop/note.dw2").close();
    waitFor(3);
    ASSERT_EQ(reports_.size(), 3u) << "by path, through Home, as a desktop child";
    for (const auto& report : reports_)
        EXPECT_EQ(idListToParsingName(report.item1.get()), home_ + "/Desktop/note.dw2");
}

TEST_F(AliasReportsTest, BurstOnTheDesktopFitsAViewsQueueUnderEveryName)
{
    // Three new folders there are nine reports, more than a view keeps
    // waiting: the desktop directory is told as changed instead, once per name.
    watch(nullptr, true, SHCNE_MKDIR | SHCNE_UPDATEDIR);
    dw::test::openFolder(home_ + "/Desktop");
    for (const char* name : {"d1", "d2", "d3"})
        fs::create_directory(home_ + "/Desktop/" + name);
    waitFor(3);
    dw::test::processEventsUntil([] { return false; }, 100); // nothing more may come
    ASSERT_EQ(reports_.size(), 3u);
    for (const auto& report : reports_) {
        EXPECT_EQ(report.eventId, SHCNE_UPDATEDIR);
        EXPECT_EQ(idListToParsingName(report.item1.get()), home_ + "/Desktop");
    }
}

} // namespace
} // namespace dw::platform
