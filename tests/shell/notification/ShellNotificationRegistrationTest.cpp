// SPDX-License-Identifier: MIT
// Registering and deregistering, and the setters with their order of checks.
#include "tests/shell/notification/NotificationTestSupport.h"

#include "base/exceptions/SsBase.h"
#include "platform/changes/ChangeRegistry.h"
#include "platform/changes/ShellChangeEvents.h"
#include "platform/namespace/ShellNamespace.h"
#include "platform/version/ShellVersion.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using namespace notification_testing;
using namespace dw::platform;
namespace fs = std::filesystem;

class ShellNotificationRegistrationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp_.isValid());
        base_ = fs::canonical(temp_.path().toStdString()).string();
        fs::create_directories(base_ + "/watched/sub");
        watched_ = parsingNameToIdList(base_ + "/watched");
        child_ = parsingNameToIdList(base_ + "/watched/sub");
        ASSERT_TRUE(watched_ && child_);
    }

    // Reports a change below the watched folder through the shell-level
    // call and answers how many general handler calls it caused.
    int generalCallsFor(TStCustomShellNotification& component, const ItemIdList* item)
    {
        int calls = 0;
        component.OnShellChangeNotify = [&calls](QObject*, TStShellItem*, TStShellItem*, TStNotifyEventsSet) {
            ++calls;
        };
        SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_IDLIST, item, nullptr);
        handlePosted();
        component.OnShellChangeNotify = {};
        return calls;
    }

    QTemporaryDir temp_;
    std::string base_;
    IdListPtr watched_;
    IdListPtr child_;
};

TEST_F(ShellNotificationRegistrationTest, ActivatingRegistersAndDeactivatingStopsDelivery)
{
    TStShellNotification component;
    component.SetWatchPidl(watched_.get());
    EXPECT_FALSE(component.IsRegistered()) << "setters do not register while inactive";
    component.SetActive(true);
    EXPECT_TRUE(component.IsRegistered());
    EXPECT_NE(component.RegistrationId(), 0u);
    EXPECT_EQ(generalCallsFor(component, watched_.get()), 1);

    component.SetActive(false);
    EXPECT_FALSE(component.IsRegistered());
    EXPECT_EQ(component.RegistrationId(), 0u);
    EXPECT_EQ(generalCallsFor(component, watched_.get()), 0);
}

TEST_F(ShellNotificationRegistrationTest, ReportsAlreadyPostedAreDroppedWhenDeactivated)
{
    TStShellNotification component;
    component.SetWatchPidl(watched_.get());
    component.SetActive(true);
    int calls = 0;
    component.OnShellChangeNotify = [&calls](QObject*, TStShellItem*, TStShellItem*, TStNotifyEventsSet) { ++calls; };
    SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_IDLIST, watched_.get(), nullptr);
    component.SetActive(false);
    handlePosted();
    EXPECT_EQ(calls, 0);
}

TEST_F(ShellNotificationRegistrationTest, ChangingASettingKeepsReportsAlreadyPostedThatStillConcernIt)
{
    TStShellNotification component;
    component.SetWatchPidl(watched_.get());
    component.SetActive(true);
    std::vector<std::string> handled;
    component.OnShellChangeNotify = [&handled](QObject*, TStShellItem* item, TStShellItem*, TStNotifyEventsSet) {
        handled.push_back(pathOf(item));
    };
    SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_IDLIST, watched_.get(), nullptr);
    component.SetWatchSubFolders(true); // registers again, wanting the same and more
    handlePosted();
    EXPECT_EQ(handled, std::vector<std::string>{base_ + "/watched"});

    // A new registration that no longer wants a report does not get it.
    handled.clear();
    SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_IDLIST, child_.get(), nullptr);
    SHChangeNotify(SHCNE_MKDIR, SHCNF_IDLIST, child_.get(), nullptr);
    component.SetNotifyEvents({neFolderCreate});
    handlePosted();
    EXPECT_EQ(handled, std::vector<std::string>{base_ + "/watched/sub"});
}

TEST_F(ShellNotificationRegistrationTest, DestroyingTheComponentDeregistersAndDropsPendingReports)
{
    const std::size_t before = RegistrationCount();
    {
        TStShellNotification component;
        component.SetWatchPidl(watched_.get());
        component.SetActive(true);
        EXPECT_EQ(RegistrationCount(), before + 1);
        component.OnShellChangeNotify = [](QObject*, TStShellItem*, TStShellItem*, TStNotifyEventsSet) {
            ADD_FAILURE() << "handled after destruction";
        };
        deliverReport(component, SHCNE_CREATE, child_.get()); // queued, drain posted
        SHChangeNotify(SHCNE_CREATE, SHCNF_IDLIST, child_.get(), nullptr);
    }
    EXPECT_EQ(RegistrationCount(), before);
    handlePosted();
}

TEST_F(ShellNotificationRegistrationTest, EverySetterReregistersWhileActive)
{
    TStShellNotification component;
    component.SetActive(true);
    const std::size_t registrations = RegistrationCount();
    unsigned long id = component.RegistrationId();
    auto expectNewRegistration = [&](const char* setter) {
        EXPECT_TRUE(component.IsRegistered()) << setter;
        EXPECT_NE(component.RegistrationId(), id) << setter;
        id = component.RegistrationId();
    };
    component.SetNotifyEvents({neFolderCreate, neFolderUpdate});
    expectNewRegistration("NotifyEvents");
    component.SetWatchSubFolders(true);
    expectNewRegistration("WatchSubFolders");
    component.SetWatchPidl(watched_.get());
    expectNewRegistration("watch id list");
    component.SetWatchFolder(base_ + "/watched/sub");
    expectNewRegistration("WatchFolder");
    component.SetSpecialWatchFolder(sfDesktop);
    expectNewRegistration("SpecialWatchFolder");
    EXPECT_EQ(RegistrationCount(), registrations) << "each old registration was ended";
}

TEST_F(ShellNotificationRegistrationTest, NotifyEventsChooseWhichReportsArrive)
{
    TStShellNotification component;
    component.SetWatchPidl(watched_.get());
    component.SetNotifyEvents({neFolderCreate});
    component.SetActive(true);
    EXPECT_EQ(generalCallsFor(component, watched_.get()), 0) << "UPDATEDIR is not asked for";
    component.SetNotifyEvents({neFolderUpdate});
    EXPECT_EQ(generalCallsFor(component, watched_.get()), 1);
}

TEST_F(ShellNotificationRegistrationTest, WatchSubFoldersWidensTheWatch)
{
    IdListPtr deeper = parsingNameToIdList(base_ + "/watched/sub");
    fs::create_directories(base_ + "/watched/sub/deeper");
    IdListPtr grandchild = parsingNameToIdList(base_ + "/watched/sub/deeper");
    TStShellNotification component;
    component.SetWatchPidl(watched_.get());
    component.SetActive(true);
    EXPECT_EQ(generalCallsFor(component, grandchild.get()), 0);
    component.SetWatchSubFolders(true);
    EXPECT_EQ(generalCallsFor(component, grandchild.get()), 1);
}

TEST_F(ShellNotificationRegistrationTest, EmptyEventSetLeavesItActiveButUnregistered)
{
    TStShellNotification component;
    component.SetNotifyEvents({});
    component.SetActive(true);
    EXPECT_TRUE(component.GetActive());
    EXPECT_FALSE(component.IsRegistered());
}

TEST_F(ShellNotificationRegistrationTest, LoadingDefersRegistrationUntilLoaded)
{
    TStShellNotification component;
    component.BeginLoading();
    component.SetActive(true);
    component.SetWatchSubFolders(true);
    EXPECT_FALSE(component.IsRegistered());
    component.Loaded();
    EXPECT_TRUE(component.IsRegistered());
}

TEST_F(ShellNotificationRegistrationTest, WatchFolderParsesThePathAndClearsTheSpecialFolder)
{
    TStShellNotification component;
    component.SetSpecialWatchFolder(sfDrives);
    component.SetWatchFolder(base_ + "/watched");
    EXPECT_EQ(component.GetSpecialWatchFolder(), sfNone);
    EXPECT_TRUE(ILIsEqual(component.GetWatchPidl(), watched_.get()));

    component.SetWatchFolder("");
    EXPECT_TRUE(component.GetWatchFolder().empty());
    EXPECT_TRUE(ILIsEqual(component.GetWatchPidl(), watched_.get())) << "an empty path only clears the text";
}

TEST_F(ShellNotificationRegistrationTest, UnparsableWatchFolderRaisesInvalidFolderAndKeepsTheText)
{
    TStShellNotification component;
    component.SetWatchPidl(watched_.get());
    const std::string missing = base_ + "/no such folder";
    try {
        component.SetWatchFolder(missing);
        FAIL() << "no exception";
    } catch (const ESsInvalidFolder& error) {
        EXPECT_EQ(error.ErrorCode(), 240);
        EXPECT_STREQ(error.what(), "Invalid folder");
    }
    EXPECT_EQ(component.GetWatchFolder(), missing);
    EXPECT_TRUE(ILIsEqual(component.GetWatchPidl(), watched_.get())) << "the watch itself is unchanged";
}

TEST_F(ShellNotificationRegistrationTest, BareDriveGetsItsRootBackslash)
{
    TStShellNotification component;
    EXPECT_THROW(component.SetWatchFolder("C:"), ESsInvalidFolder); // no drive letters here
    EXPECT_EQ(component.GetWatchFolder(), "C:\\");
    EXPECT_THROW(component.SetWatchFolder("C:x"), ESsInvalidFolder);
    EXPECT_EQ(component.GetWatchFolder(), "C:x");
}

TEST_F(ShellNotificationRegistrationTest, SpecialWatchFolderSetsTheListAndClearsThePath)
{
    TStShellNotification component;
    component.SetWatchFolder(base_ + "/watched");
    component.SetSpecialWatchFolder(sfDrives);
    EXPECT_EQ(component.GetSpecialWatchFolder(), sfDrives);
    EXPECT_TRUE(component.GetWatchFolder().empty());
    IdListPtr drives;
    ASSERT_TRUE(succeeded(SHGetSpecialFolderLocation(17, drives)));
    EXPECT_TRUE(ILIsEqual(component.GetWatchPidl(), drives.get()));

    component.SetSpecialWatchFolder(sfDesktop);
    EXPECT_EQ(component.GetWatchPidl(), nullptr) << "none stands for the desktop";
}

TEST_F(ShellNotificationRegistrationTest, SettingTheCurrentSpecialFolderChangesNothing)
{
    TStShellNotification component;
    component.SetSpecialWatchFolder(sfDrives);
    component.SetActive(true);
    const unsigned long id = component.RegistrationId();
    component.SetWatchPidl(watched_.get());
    const unsigned long afterList = component.RegistrationId();
    component.SetSpecialWatchFolder(sfDrives);
    EXPECT_EQ(component.RegistrationId(), afterList);
    EXPECT_TRUE(ILIsEqual(component.GetWatchPidl(), watched_.get()));
    EXPECT_NE(id, afterList);
}

TEST_F(ShellNotificationRegistrationTest, SpecialFolderWithoutALocationHereIsRefused)
{
    TStShellNotification component;
    component.SetWatchFolder(base_ + "/watched");
    try {
        component.SetSpecialWatchFolder(sfPrinters);
        FAIL() << "no exception";
    } catch (const ESsInvalidFolder& error) {
        EXPECT_EQ(error.ErrorCode(), 240);
    }
    EXPECT_TRUE(ILIsEqual(component.GetWatchPidl(), watched_.get())) << "not silently the whole desktop";
    EXPECT_EQ(component.GetSpecialWatchFolder(), sfNone);
    EXPECT_EQ(component.GetWatchFolder(), base_ + "/watched");
}

class OldShellTest : public ShellNotificationRegistrationTest {
protected:
    void SetUp() override
    {
        ShellNotificationRegistrationTest::SetUp();
        // A shell module without version information counts as the oldest.
        const std::string module = base_ + "/shell-without-version";
        std::ofstream(module) << "no version block";
        SetSystemShellModulePath(module);
    }
    void TearDown() override { SetSystemShellModulePath(""); }
};

TEST_F(OldShellTest, NewerSpecialFoldersAreRefusedBeforeAnythingChanges)
{
    TStShellNotification component;
    EXPECT_LT(component.ShellVersion(), 4.7);
    component.SetSpecialWatchFolder(sfDrives);
    for (TStSpecialRootFolder newer :
         {sfInternet, sfAltStartup, sfCommonAltStartup, sfCommonFavorites, sfInternetCache, sfCookies, sfHistory}) {
        try {
            component.SetSpecialWatchFolder(newer);
            ADD_FAILURE() << "accepted special folder " << newer;
        } catch (const ESsShellError& error) {
            EXPECT_EQ(error.ErrorCode(), 110);
            EXPECT_STREQ(error.what(), "Operation not supported in this version of the shell");
        }
        EXPECT_EQ(component.GetSpecialWatchFolder(), sfDrives) << "the new value has not been stored";
    }
    component.SetSpecialWatchFolder(sfDesktop);
    EXPECT_EQ(component.GetSpecialWatchFolder(), sfDesktop);
}

} // namespace

namespace {

TEST_F(ShellNotificationRegistrationTest, PublishedPropertiesReachTheSetters)
{
    TStShellNotification component;
    EXPECT_TRUE(component.setProperty("WatchFolder", QString::fromStdString(base_ + "/watched")));
    EXPECT_TRUE(component.setProperty("WatchSubFolders", true));
    EXPECT_TRUE(component.setProperty("NotifyEvents", TStNotifyEventsSet{neFolderCreate}.Bits()));
    EXPECT_TRUE(component.setProperty("Active", true));
    EXPECT_TRUE(component.IsRegistered());
    EXPECT_TRUE(ILIsEqual(component.GetWatchPidl(), watched_.get()));
    EXPECT_EQ(component.GetNotifyEvents(), (TStNotifyEventsSet{neFolderCreate}));
    EXPECT_EQ(component.property("SpecialWatchFolder").toInt(), static_cast<int>(sfNone));
    EXPECT_TRUE(component.setProperty("SpecialWatchFolder", static_cast<int>(sfDrives)));
    EXPECT_EQ(component.GetSpecialWatchFolder(), sfDrives);
    EXPECT_TRUE(component.property("WatchFolder").toString().isEmpty());
    EXPECT_EQ(component.property("Version").toString(), "1.02");
}

} // namespace
