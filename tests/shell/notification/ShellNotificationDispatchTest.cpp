// SPDX-License-Identifier: MIT
// The component's handling of reports, fed by a fake source that hands
// reports straight to its window procedure.
#include "tests/shell/notification/NotificationTestSupport.h"

#include "platform/changes/ShellChangeEvents.h"
#include "platform/namespace/ShellNamespace.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

namespace {

using namespace notification_testing;
using namespace dw::platform;
namespace fs = std::filesystem;

class ShellNotificationDispatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp_.isValid());
        base_ = fs::canonical(temp_.path().toStdString()).string();
        fs::create_directories(base_ + "/old");
        fs::create_directories(base_ + "/new");
        old_ = parsingNameToIdList(base_ + "/old");
        new_ = parsingNameToIdList(base_ + "/new");
        ASSERT_TRUE(old_ && new_);
        recordAllEvents(component_, calls_);
    }

    std::string oldPath() const { return base_ + "/old"; }
    std::string newPath() const { return base_ + "/new"; }

    QTemporaryDir temp_;
    std::string base_;
    IdListPtr old_;
    IdListPtr new_;
    TStShellNotification component_;
    std::vector<Call> calls_;
};

TEST_F(ShellNotificationDispatchTest, StartsWithTheDefaults)
{
    EXPECT_FALSE(component_.GetActive());
    EXPECT_EQ(component_.QueueLimit, 0);
    EXPECT_EQ(component_.GetNotifyEvents(), TStNotifyEventsSet::All());
    EXPECT_EQ(component_.GetSpecialWatchFolder(), sfNone);
    EXPECT_TRUE(component_.GetWatchFolder().empty());
    EXPECT_EQ(component_.GetWatchPidl(), nullptr);
    EXPECT_FALSE(component_.GetWatchSubFolders());
    EXPECT_FALSE(component_.IsRegistered());
    EXPECT_NE(component_.WindowHandle(), 0u);
    EXPECT_EQ(component_.GetVersion(), "1.02");
}

TEST_F(ShellNotificationDispatchTest, AttributeReportIsHandledAtOnceAndAlone)
{
    deliverReport(component_, SHCNE_ATTRIBUTES | SHCNE_UPDATEDIR | SHCNE_CREATE, old_.get(), new_.get());
    // Nothing was queued and no drain was needed.
    EXPECT_EQ(component_.PendingCount(), 0u);
    const std::vector<Call> expected = {
        {"OnAttributeChange", oldPath(), newPath(), {}},
        {"OnShellChangeNotify", oldPath(), newPath(), {neAttributesChange}},
    };
    EXPECT_EQ(calls_, expected);
    handlePosted();
    EXPECT_EQ(calls_, expected);
}

TEST_F(ShellNotificationDispatchTest, ReportWithSeveralBitsCallsHandlersInFixedOrderThenGeneralOnce)
{
    deliverReport(component_, SHCNE_UPDATEDIR | SHCNE_RENAMEFOLDER, old_.get(), new_.get());
    EXPECT_TRUE(calls_.empty()) << "queued reports wait for the drain";
    handlePosted();
    const std::vector<Call> expected = {
        {"OnFolderRename", oldPath(), newPath(), {}},
        {"OnFolderChange", oldPath(), "-", {}},
        {"OnShellChangeNotify", oldPath(), newPath(), {neFolderRename, neFolderUpdate}},
    };
    EXPECT_EQ(calls_, expected);
}

TEST_F(ShellNotificationDispatchTest, AbsentSecondListGivesNoSecondItem)
{
    deliverReport(component_, SHCNE_RENAMEITEM, old_.get(), nullptr);
    handlePosted();
    ASSERT_EQ(calls_.size(), 2u);
    EXPECT_EQ(calls_[0], (Call{"OnFileRename", oldPath(), "-", {}}));
    EXPECT_EQ(calls_[1], (Call{"OnShellChangeNotify", oldPath(), "-", {neFileRename}}));
}

TEST_F(ShellNotificationDispatchTest, QueueLimitKeepsAtMostLimitPlusOneWaiting)
{
    component_.QueueLimit = 5;
    for (int i = 0; i < 7; ++i)
        deliverReport(component_, SHCNE_CREATE, old_.get());
    EXPECT_EQ(component_.PendingCount(), 6u) << "a sixth pending report is queued, a seventh dropped";
    handlePosted();
    EXPECT_EQ(std::count_if(calls_.begin(), calls_.end(), [](const Call& c) { return c.handler == "OnFileCreate"; }),
              6);
    EXPECT_EQ(component_.PendingCount(), 0u);
}

TEST_F(ShellNotificationDispatchTest, ReportsArrivingDuringADrainAreHandledByThatDrain)
{
    int general = 0;
    component_.OnShellChangeNotify = [&](QObject*, TStShellItem*, TStShellItem*, TStNotifyEventsSet) {
        if (++general == 1)
            deliverReport(component_, SHCNE_RMDIR, new_.get());
    };
    deliverReport(component_, SHCNE_MKDIR, old_.get());
    deliverReport(component_, SHCNE_MKDIR, new_.get());
    handlePosted();
    EXPECT_EQ(general, 3);
    const std::vector<Call> expected = {
        {"OnFolderCreate", oldPath(), "-", {}},
        {"OnFolderCreate", newPath(), "-", {}},
        {"OnFolderDelete", newPath(), "-", {}},
    };
    EXPECT_EQ(calls_, expected);
}

TEST_F(ShellNotificationDispatchTest, EachKindReachesItsOwnHandler)
{
    struct Case {
        long shellEvent;
        const char* handler;
        TStNotifyEvents member;
        bool passesSecondItem;
    };
    const Case cases[] = {
        {SHCNE_UPDATEITEM, "OnFileChange", neFileChange, false},
        {SHCNE_CREATE, "OnFileCreate", neFileCreate, false},
        {SHCNE_DELETE, "OnFileDelete", neFileDelete, true},
        {SHCNE_RENAMEITEM, "OnFileRename", neFileRename, true},
        {SHCNE_DRIVEADD, "OnDriveAdd", neDriveAdd, false},
        {SHCNE_DRIVEREMOVED, "OnDriveRemove", neDriveRemove, false},
        {SHCNE_DRIVEADDGUI, "OnShellDriveAdd", neShellDriveAdd, false},
        {SHCNE_MEDIAINSERTED, "OnMediaInsert", neMediaInsert, false},
        {SHCNE_MEDIAREMOVED, "OnMediaRemove", neMediaRemove, false},
        {SHCNE_MKDIR, "OnFolderCreate", neFolderCreate, false},
        {SHCNE_RMDIR, "OnFolderDelete", neFolderDelete, false},
        {SHCNE_RENAMEFOLDER, "OnFolderRename", neFolderRename, true},
        {SHCNE_UPDATEDIR, "OnFolderChange", neFolderUpdate, false},
        {SHCNE_NETSHARE, "OnNetShare", neNetShare, false},
        {SHCNE_NETUNSHARE, "OnNetUnShare", neNetUnShare, false},
        {SHCNE_SERVERDISCONNECT, "OnServerDisconnect", neServerDisconnect, false},
    };
    for (const Case& c : cases) {
        calls_.clear();
        deliverReport(component_, c.shellEvent, old_.get(), new_.get());
        handlePosted();
        const std::vector<Call> expected = {
            {c.handler, oldPath(), c.passesSecondItem ? newPath() : "-", {}},
            {"OnShellChangeNotify", oldPath(), newPath(), {c.member}},
        };
        EXPECT_EQ(calls_, expected) << c.handler;
    }
}

TEST_F(ShellNotificationDispatchTest, HandlersWithoutItemsAndTheDriveMask)
{
    deliverReport(component_, SHCNE_ASSOCCHANGED | SHCNE_UPDATEIMAGE, nullptr, nullptr);
    IdListPtr mask = MakeDwordIdList(0x00000005);
    deliverReport(component_, SHCNE_FREESPACE, mask.get(), nullptr);
    handlePosted();
    ASSERT_EQ(calls_.size(), 5u);
    EXPECT_EQ(calls_[0], (Call{"OnAssociationChange", "-", "-", {}}));
    EXPECT_EQ(calls_[1], (Call{"OnImageListChange", "-", "-", {}}));
    EXPECT_EQ(calls_[2], (Call{"OnShellChangeNotify", "-", "-", {neAssociationChange, neImageListChange}}));
    EXPECT_EQ(calls_[3], (Call{"OnDriveSpaceChange", "5", "-", {}})) << "bit 0 = drive A, bit 2 = drive C";
    EXPECT_EQ(calls_[4].handler, "OnShellChangeNotify");
    EXPECT_EQ(calls_[4].events, (TStNotifyEventsSet{neDriveSpaceChange}));
}

TEST_F(ShellNotificationDispatchTest, UnassignedEventsAreSimplySkipped)
{
    TStShellNotification bare;
    deliverReport(bare, SHCNE_ALLEVENTS & ~SHCNE_ATTRIBUTES, old_.get(), new_.get());
    deliverReport(bare, SHCNE_ATTRIBUTES, old_.get(), new_.get());
    handlePosted();
    EXPECT_EQ(bare.PendingCount(), 0u);
}

// Records the order of media refreshes against handler calls.
class MediaWatchingNotification : public TStShellNotification {
public:
    std::vector<std::string> order;

protected:
    void RefreshMediaItem(TStShellItem& item) override
    {
        order.push_back("refresh " + pathOf(&item));
        TStShellNotification::RefreshMediaItem(item);
    }
    void DoMediaInsert(TStShellItem* item) override { order.push_back("insert " + pathOf(item)); }
    void DoMediaRemove(TStShellItem* item) override { order.push_back("remove " + pathOf(item)); }
};

TEST_F(ShellNotificationDispatchTest, MediaItemIsRefreshedBeforeItsHandler)
{
    MediaWatchingNotification media;
    deliverReport(media, SHCNE_MEDIAINSERTED, old_.get());
    deliverReport(media, SHCNE_MEDIAREMOVED, new_.get());
    deliverReport(media, SHCNE_MEDIAREMOVED, nullptr);
    handlePosted();
    const std::vector<std::string> expected = {"refresh " + oldPath(), "insert " + oldPath(),
                                               "refresh " + newPath(), "remove " + newPath(), "remove -"};
    EXPECT_EQ(media.order, expected);
}

TEST_F(ShellNotificationDispatchTest, FailingHandlerDoesNotStopLaterReports)
{
    bool fail = true;
    component_.OnFolderCreate = [&](QObject*, TStShellItem*) {
        if (fail) {
            fail = false;
            throw std::runtime_error("handler failed");
        }
    };
    deliverReport(component_, SHCNE_MKDIR, old_.get());
    deliverReport(component_, SHCNE_CREATE, new_.get());
    MessageWindow* window = MessageWindow::fromHandle(component_.WindowHandle());
    EXPECT_THROW(window->sendMessage(TStCustomShellNotification::kDrainMessage, 0, 0), std::runtime_error);
    EXPECT_EQ(component_.PendingCount(), 1u) << "the failed report is dropped";
    handlePosted(); // the drain that was posted again
    EXPECT_EQ(component_.PendingCount(), 0u);
    ASSERT_FALSE(calls_.empty());
    EXPECT_EQ(calls_.back(), (Call{"OnShellChangeNotify", newPath(), "-", {neFileCreate}}));
    // New reports start a drain again.
    deliverReport(component_, SHCNE_DELETE, new_.get());
    handlePosted();
    EXPECT_EQ(calls_.back(), (Call{"OnShellChangeNotify", newPath(), "-", {neFileDelete}}));
}

// A handler may destroy the component (a message box it shows runs an event
// loop in which the user may close the window that owns it).
TEST_F(ShellNotificationDispatchTest, HandlerThatDestroysTheComponentEndsItsWorkThere)
{
    auto doomed = std::make_unique<TStShellNotification>();
    std::vector<std::string> handled;
    doomed->OnFolderCreate = [&](QObject*, TStShellItem* item) {
        handled.push_back("create " + pathOf(item));
        doomed.reset();
    };
    doomed->OnShellChangeNotify = [&](QObject*, TStShellItem* item, TStShellItem*, TStNotifyEventsSet) {
        handled.push_back("general " + pathOf(item));
    };
    deliverReport(*doomed, SHCNE_MKDIR | SHCNE_UPDATEDIR, old_.get());
    deliverReport(*doomed, SHCNE_MKDIR, new_.get());
    handlePosted();
    EXPECT_FALSE(doomed);
    EXPECT_EQ(handled, std::vector<std::string>{"create " + oldPath()}) << "nothing after the destruction";

    // The same in the general handler, and in the attribute report's first handler.
    doomed = std::make_unique<TStShellNotification>();
    int general = 0;
    doomed->OnShellChangeNotify = [&](QObject*, TStShellItem*, TStShellItem*, TStNotifyEventsSet) {
        ++general;
        doomed.reset();
    };
    deliverReport(*doomed, SHCNE_CREATE, old_.get());
    deliverReport(*doomed, SHCNE_CREATE, new_.get());
    handlePosted();
    EXPECT_EQ(general, 1);

    doomed = std::make_unique<TStShellNotification>();
    general = 0;
    doomed->OnAttributeChange = [&](QObject*, TStShellItem*, TStShellItem*) { doomed.reset(); };
    doomed->OnShellChangeNotify = [&](QObject*, TStShellItem*, TStShellItem*, TStNotifyEventsSet) { ++general; };
    deliverReport(*doomed, SHCNE_ATTRIBUTES, old_.get());
    EXPECT_FALSE(doomed);
    EXPECT_EQ(general, 0);
}

TEST_F(ShellNotificationDispatchTest, OtherMessagesGoToTheDefaultProcedure)
{
    MessageWindow* window = MessageWindow::fromHandle(component_.WindowHandle());
    EXPECT_EQ(window->sendMessage(WM_USER + 7, 1, 2), 0);
    EXPECT_TRUE(calls_.empty());
}

} // namespace
