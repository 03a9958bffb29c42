// SPDX-License-Identifier: MIT
// Reports dropped over the queue limit: counted, their folders remembered,
// and told once the burst is over; a negative limit drops every report.
#include "tests/shell/notification/NotificationTestSupport.h"

#include "platform/changes/ShellChangeEvents.h"
#include "platform/namespace/ShellNamespace.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using namespace notification_testing;
using namespace dw::platform;
namespace fs = std::filesystem;

class ShellNotificationDroppedReportsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp_.isValid());
        base_ = fs::canonical(temp_.path().toStdString()).string();
        for (const char* folder : {"/a", "/b", "/c"})
            fs::create_directories(base_ + folder);
        for (const char* file : {"/a/x", "/a/y", "/a/z", "/b/w"})
            std::ofstream(base_ + file).close();
        component_.OnShellChangeNotify = [this](QObject*, TStShellItem* item, TStShellItem*, TStNotifyEventsSet) {
            calls_.push_back("general " + pathOf(item));
        };
        component_.OnReportsDropped = [this](QObject* sender, const TStItemIdLists& folders, bool all) {
            EXPECT_EQ(sender, &component_);
            std::string call = all ? "dropped all" : "dropped";
            for (const auto& folder : folders)
                call += " " + idListToParsingName(folder.get());
            calls_.push_back(call);
        };
    }

    void deliver(long eventBits, const std::string& item1, const std::string& item2 = {})
    {
        IdListPtr list1 = item1.empty() ? nullptr : parsingNameToIdList(base_ + item1);
        IdListPtr list2 = item2.empty() ? nullptr : parsingNameToIdList(base_ + item2);
        ASSERT_TRUE(item1.empty() || list1) << item1;
        deliverReport(component_, eventBits, list1.get(), list2.get());
    }

    QTemporaryDir temp_;
    std::string base_;
    TStShellNotification component_;
    std::vector<std::string> calls_;
};

TEST_F(ShellNotificationDroppedReportsTest, BurstOverTheLimitIsToldOnceTheQueueHasDrained)
{
    component_.QueueLimit = 1;
    deliver(SHCNE_CREATE, "/a/x");
    deliver(SHCNE_CREATE, "/a/y");
    deliver(SHCNE_CREATE, "/a/z");              // dropped: its folder a
    deliver(SHCNE_DELETE, "/b/w");              // dropped: b
    deliver(SHCNE_RENAMEITEM, "/a/z", "/b/w");  // dropped: a and b again
    deliver(SHCNE_UPDATEDIR, "/c");             // dropped: c itself, whose contents changed
    EXPECT_EQ(component_.DroppedReportCount(), 4u);
    EXPECT_TRUE(calls_.empty());
    handlePosted();
    const std::vector<std::string> expected = {
        "general " + base_ + "/a/x",
        "general " + base_ + "/a/y",
        "dropped " + base_ + "/a " + base_ + "/b " + base_ + "/c",
    };
    EXPECT_EQ(calls_, expected);

    // The next burst is told with its own folders only.
    calls_.clear();
    deliver(SHCNE_CREATE, "/a/x");
    deliver(SHCNE_CREATE, "/a/y");
    deliver(SHCNE_CREATE, "/b/w");
    handlePosted();
    ASSERT_EQ(calls_.size(), 3u);
    EXPECT_EQ(calls_.back(), "dropped " + base_ + "/b");
    EXPECT_EQ(component_.DroppedReportCount(), 5u);
}

TEST_F(ShellNotificationDroppedReportsTest, ManyFoldersOrAMachineWideReportConcernEverything)
{
    component_.QueueLimit = 1;
    for (std::size_t i = 0; i <= TStDroppedReports::kMaxFolders + 2; ++i) {
        fs::create_directories(base_ + "/many/f" + std::to_string(i));
        deliver(SHCNE_UPDATEDIR, "/many/f" + std::to_string(i));
    }
    handlePosted();
    EXPECT_EQ(calls_.back(), "dropped all");

    calls_.clear();
    deliver(SHCNE_CREATE, "/a/x");
    deliver(SHCNE_CREATE, "/a/y");
    IdListPtr driveMask = MakeDwordIdList(0x4);
    deliverReport(component_, SHCNE_FREESPACE, driveMask.get(), nullptr); // changes no listing
    handlePosted();
    EXPECT_EQ(calls_.back(), "dropped");

    calls_.clear();
    deliver(SHCNE_CREATE, "/a/x");
    deliver(SHCNE_CREATE, "/a/y");
    deliverReport(component_, SHCNE_ASSOCCHANGED, nullptr, nullptr);
    handlePosted();
    EXPECT_EQ(calls_.back(), "dropped all");
}

TEST_F(ShellNotificationDroppedReportsTest, NegativeLimitDropsEveryReport)
{
    component_.QueueLimit = -1; // "greater than -1": every count of waiting reports
    int attributeCalls = 0;
    component_.OnAttributeChange = [&](QObject*, TStShellItem*, TStShellItem*) { ++attributeCalls; };
    deliver(SHCNE_CREATE, "/a/x");
    deliver(SHCNE_ATTRIBUTES, "/a/y");
    deliver(SHCNE_MKDIR, "/c");
    EXPECT_EQ(component_.PendingCount(), 0u);
    EXPECT_EQ(component_.DroppedReportCount(), 3u);
    handlePosted();
    EXPECT_EQ(attributeCalls, 0);
    EXPECT_EQ(calls_, std::vector<std::string>{"dropped " + base_ + "/a " + base_});
}

TEST_F(ShellNotificationDroppedReportsTest, HandlerOfTheDropMayDestroyTheComponent)
{
    auto doomed = std::make_unique<TStShellNotification>();
    doomed->QueueLimit = -1;
    int told = 0;
    doomed->OnReportsDropped = [&](QObject*, const TStItemIdLists&, bool) {
        ++told;
        doomed.reset();
    };
    IdListPtr item = parsingNameToIdList(base_ + "/a/x");
    deliverReport(*doomed, SHCNE_CREATE, item.get());
    handlePosted();
    EXPECT_EQ(told, 1);
    EXPECT_FALSE(doomed);
}

} // namespace
