// SPDX-License-Identifier: MIT
// The component over the real source: changes made on disk reach its
// handlers, under an event loop, once each and in order.
#include "tests/shell/notification/NotificationTestSupport.h"

#include "platform/changesource/FileSystemChangeSource.h"
#include "platform/namespace/ShellNamespace.h"
#include "tests/support/qt/EventLoopWaiting.h"
#include "tests/support/qt/FolderOpening.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using namespace notification_testing;
using namespace dw::platform;
namespace fs = std::filesystem;

class ShellNotificationLiveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp_.isValid());
        root_ = fs::canonical(temp_.path().toStdString()).string();
        fs::create_directories(root_ + "/opened");
        component_.OnShellChangeNotify = [this](QObject*, TStShellItem* a, TStShellItem* b, TStNotifyEventsSet e) {
            calls_.push_back({"general", pathOf(a), pathOf(b), e});
        };
        component_.QueueLimit = 5;
        component_.SetWatchFolder(root_);
        component_.SetWatchSubFolders(true);
        component_.SetActive(true);
        dw::test::openFolder(root_);
        dw::test::openFolder(root_ + "/opened");
    }

    const std::vector<Call>& waitFor(std::size_t count)
    {
        dw::test::processEventsUntil([&] { return calls_.size() >= count; });
        return calls_;
    }

    QTemporaryDir temp_;
    std::string root_;
    TStShellNotification component_;
    std::vector<Call> calls_;
};

TEST_F(ShellNotificationLiveTest, DiskChangesReachTheHandlersInOrder)
{
    fs::create_directory(root_ + "/made");
    std::ofstream(root_ + "/opened/cal.dw2") << "x";
    waitFor(3); // more at once would be folded into folder updates
    fs::rename(root_ + "/opened/cal.dw2", root_ + "/opened/renamed.dw2");
    fs::remove(root_ + "/opened/renamed.dw2");
    fs::rename(root_ + "/made", root_ + "/made2");

    const std::vector<Call> expected = {
        {"general", root_ + "/made", "-", {neFolderCreate}},
        {"general", root_ + "/opened/cal.dw2", "-", {neFileCreate}},
        {"general", root_ + "/opened/cal.dw2", "-", {neFileChange}},
        {"general", root_ + "/opened/cal.dw2", root_ + "/opened/renamed.dw2", {neFileRename}},
        {"general", root_ + "/opened/renamed.dw2", "-", {neFileDelete}},
        {"general", root_ + "/made", root_ + "/made2", {neFolderRename}},
    };
    EXPECT_EQ(waitFor(expected.size()), expected);
}

TEST_F(ShellNotificationLiveTest, AttributeChangeArrivesAsAttributeReport)
{
    std::ofstream(root_ + "/opened/cal.dw2");
    waitFor(1);
    calls_.clear();
    fs::permissions(root_ + "/opened/cal.dw2", fs::perms::owner_read);
    const std::vector<Call> expected = {{"general", root_ + "/opened/cal.dw2", "-", {neAttributesChange}}};
    EXPECT_EQ(waitFor(1), expected);
}

TEST_F(ShellNotificationLiveTest, MoveOutIsNotOvertakenByALaterAttributeChange)
{
    const std::string outside = root_ + "-outside";
    fs::create_directory(outside);
    std::ofstream(root_ + "/opened/leaving.dw2").close();
    std::ofstream(root_ + "/opened/staying.dw2").close();
    waitFor(2);
    calls_.clear();
    FileSystemChangeSource* source = FileSystemChangeSource::instance();
    // Each change read and handled as the event loop would, one after the
    // other: the move out to a folder nobody watches has no partner.
    fs::rename(root_ + "/opened/leaving.dw2", outside + "/leaving.dw2");
    source->processPendingEvents();
    handlePosted();
    fs::permissions(root_ + "/opened/staying.dw2", fs::perms::owner_read);
    source->processPendingEvents();
    handlePosted();
    const std::vector<Call> expected = {
        {"general", root_ + "/opened/leaving.dw2", "-", {neFileDelete}},
        {"general", root_ + "/opened/staying.dw2", "-", {neAttributesChange}},
    };
    EXPECT_EQ(calls_, expected);
    fs::remove_all(outside);
}

TEST_F(ShellNotificationLiveTest, BurstIsFoldedIntoAFolderUpdateTheTreeCanFollow)
{
    for (int i = 0; i < 500; ++i)
        std::ofstream(root_ + "/opened/f" + std::to_string(i));
    const auto& calls = waitFor(1);
    ASSERT_FALSE(calls.empty());
    EXPECT_LT(calls.size(), 20u);
    EXPECT_EQ(calls.back(), (Call{"general", root_ + "/opened", "-", {neFolderUpdate}}));
}

} // namespace
