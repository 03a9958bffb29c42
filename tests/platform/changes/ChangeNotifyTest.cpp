// SPDX-License-Identifier: MIT
#include "platform/changes/ChangeNotify.h"
#include "platform/changes/ChangeRegistry.h"
#include "tests/platform/changes/TestIdLists.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace dw::platform {
namespace {

using testing::lastName;
using testing::makeList;

constexpr unsigned kReport = WM_USER + 1;

struct Received {
    unsigned message;
    long eventId;
    std::string item1;
    std::string item2;
};

// A window that records each report it handles.
class RecordingWindow {
public:
    RecordingWindow()
        : window_(std::make_unique<MessageWindow>([this](unsigned message, WPARAM wParam, LPARAM lParam) {
              const auto* lists = reinterpret_cast<const SHChangeNotifyLists*>(wParam);
              received.push_back({message, static_cast<long>(lParam), lastName(lists->item1), lastName(lists->item2)});
              return LRESULT{0};
          }))
    {
    }

    MessageWindow* window() { return window_.get(); }
    void destroy() { window_.reset(); }

    std::vector<Received> received;

private:
    std::unique_ptr<MessageWindow> window_;
};

class ChangeNotifyTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (unsigned long id : ids_)
            SHChangeNotifyDeregister(id);
    }

    unsigned long watch(RecordingWindow& recorder, const ItemIdList* folder, bool recursive,
                        long events = SHCNE_ALLEVENTS, int sources = SHCNRF_ShellLevel | SHCNRF_InterruptLevel)
    {
        const SHChangeNotifyEntry entry{folder, recursive};
        const unsigned long id = SHChangeNotifyRegister(recorder.window(), sources, events, kReport, 1, &entry);
        ids_.push_back(id);
        return id;
    }

    static void handlePosted() { QCoreApplication::sendPostedEvents(); }

    IdListPtr home_ = makeList({"home"});
    IdListPtr docs_ = makeList({"home", "docs"});
    IdListPtr report_ = makeList({"home", "docs", "report.dw2"});
    IdListPtr deep_ = makeList({"home", "docs", "2026", "plan.dw2"});
    IdListPtr elsewhere_ = makeList({"srv", "data.dw2"});

private:
    std::vector<unsigned long> ids_;
};

TEST_F(ChangeNotifyTest, ReportArrivesAsPostedMessageWithBothListsAndEventWord)
{
    RecordingWindow recorder;
    ASSERT_NE(watch(recorder, home_.get(), true), 0u);
    IdListPtr renamed = makeList({"home", "docs", "renamed.dw2"});

    SHChangeNotify(SHCNE_RENAMEITEM, SHCNF_IDLIST, report_.get(), renamed.get());
    EXPECT_TRUE(recorder.received.empty()) << "handled inside the reporting call";
    handlePosted();

    ASSERT_EQ(recorder.received.size(), 1u);
    EXPECT_EQ(recorder.received[0].message, kReport);
    EXPECT_EQ(recorder.received[0].eventId, SHCNE_RENAMEITEM);
    EXPECT_EQ(recorder.received[0].item1, "report.dw2");
    EXPECT_EQ(recorder.received[0].item2, "renamed.dw2");
}

TEST_F(ChangeNotifyTest, MessageOwnsCopiesOfTheLists)
{
    RecordingWindow recorder;
    watch(recorder, home_.get(), true);
    IdListPtr created = makeList({"home", "new folder"});
    SHChangeNotify(SHCNE_MKDIR, SHCNF_IDLIST, created.get(), nullptr);
    created.reset(); // the reporter frees its list before the report is handled
    handlePosted();

    ASSERT_EQ(recorder.received.size(), 1u);
    EXPECT_EQ(recorder.received[0].item1, "new folder");
    EXPECT_EQ(recorder.received[0].item2, "-");
}

TEST_F(ChangeNotifyTest, ReportsArriveInTheOrderTheyWereMade)
{
    RecordingWindow recorder;
    watch(recorder, home_.get(), true);
    const long events[] = {SHCNE_MKDIR, SHCNE_CREATE, SHCNE_UPDATEITEM, SHCNE_DELETE, SHCNE_RMDIR};
    for (long event : events)
        SHChangeNotify(event, SHCNF_IDLIST, report_.get(), nullptr);
    handlePosted();

    ASSERT_EQ(recorder.received.size(), std::size(events));
    for (std::size_t i = 0; i < std::size(events); ++i)
        EXPECT_EQ(recorder.received[i].eventId, events[i]) << "report " << i;
}

TEST_F(ChangeNotifyTest, DeregisteringDropsReportsAlreadyPosted)
{
    RecordingWindow recorder;
    const unsigned long id = watch(recorder, home_.get(), true);
    SHChangeNotify(SHCNE_CREATE, SHCNF_IDLIST, report_.get(), nullptr);
    EXPECT_TRUE(SHChangeNotifyDeregister(id));
    handlePosted();
    EXPECT_TRUE(recorder.received.empty());

    SHChangeNotify(SHCNE_CREATE, SHCNF_IDLIST, report_.get(), nullptr);
    handlePosted();
    EXPECT_TRUE(recorder.received.empty());
    EXPECT_FALSE(SHChangeNotifyDeregister(id)) << "a registration ends only once";
}

TEST_F(ChangeNotifyTest, RegisteringAgainKeepsPostedReportsTheNewRegistrationWants)
{
    RecordingWindow recorder;
    const unsigned long first = watch(recorder, home_.get(), true);
    SHChangeNotify(SHCNE_CREATE, SHCNF_IDLIST, report_.get(), nullptr);
    SHChangeNotify(SHCNE_CREATE, SHCNF_IDLIST, deep_.get(), nullptr);
    SHChangeNotify(SHCNE_MKDIR, SHCNF_IDLIST, docs_.get(), nullptr);
    // The window changes its registration before the reports are handled:
    // now only the docs folder itself, and only files.
    SHChangeNotifyDeregister(first);
    watch(recorder, docs_.get(), false, SHCNE_CREATE);
    handlePosted();

    ASSERT_EQ(recorder.received.size(), 1u) << "only what the new registration covers";
    EXPECT_EQ(recorder.received[0].item1, "report.dw2");

    // A window that was registered twice got a copy from each; ending one
    // of them does not bring its copies back through the other.
    recorder.received.clear();
    const unsigned long second = watch(recorder, home_.get(), true);
    SHChangeNotify(SHCNE_CREATE, SHCNF_IDLIST, report_.get(), nullptr);
    SHChangeNotifyDeregister(second);
    handlePosted();
    EXPECT_EQ(recorder.received.size(), 1u);
}

TEST_F(ChangeNotifyTest, NothingArrivesAfterTheWindowIsDestroyed)
{
    const std::size_t before = RegistrationCount();
    auto recorder = std::make_unique<RecordingWindow>();
    watch(*recorder, home_.get(), true);
    SHChangeNotify(SHCNE_CREATE, SHCNF_IDLIST, report_.get(), nullptr);
    std::vector<Received>* received = &recorder->received;
    recorder->destroy(); // pending report discarded with the window
    handlePosted();
    EXPECT_TRUE(received->empty());

    // A later report finds the window gone and retires the registration.
    SHChangeNotify(SHCNE_CREATE, SHCNF_IDLIST, report_.get(), nullptr);
    handlePosted();
    EXPECT_TRUE(received->empty());
    EXPECT_EQ(RegistrationCount(), before);
}

TEST_F(ChangeNotifyTest, RecursiveEntryCoversTheWholeSubtree)
{
    RecordingWindow recorder;
    watch(recorder, docs_.get(), true);
    SHChangeNotify(SHCNE_CREATE, SHCNF_IDLIST, deep_.get(), nullptr);
    SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_IDLIST, docs_.get(), nullptr);
    SHChangeNotify(SHCNE_CREATE, SHCNF_IDLIST, elsewhere_.get(), nullptr);
    SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_IDLIST, home_.get(), nullptr);
    handlePosted();

    ASSERT_EQ(recorder.received.size(), 2u);
    EXPECT_EQ(recorder.received[0].item1, "plan.dw2");
    EXPECT_EQ(recorder.received[1].item1, "docs");
}

TEST_F(ChangeNotifyTest, PlainEntryCoversTheFolderAndItsChildrenOnly)
{
    RecordingWindow recorder;
    watch(recorder, docs_.get(), false);
    SHChangeNotify(SHCNE_CREATE, SHCNF_IDLIST, report_.get(), nullptr);
    SHChangeNotify(SHCNE_CREATE, SHCNF_IDLIST, deep_.get(), nullptr);
    SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_IDLIST, docs_.get(), nullptr);
    handlePosted();

    ASSERT_EQ(recorder.received.size(), 2u);
    EXPECT_EQ(recorder.received[0].item1, "report.dw2");
    EXPECT_EQ(recorder.received[1].item1, "docs");
}

TEST_F(ChangeNotifyTest, MoveIntoWatchedFolderMatchesThroughTheSecondList)
{
    RecordingWindow recorder;
    watch(recorder, docs_.get(), false);
    SHChangeNotify(SHCNE_RENAMEITEM, SHCNF_IDLIST, elsewhere_.get(), report_.get());
    handlePosted();
    ASSERT_EQ(recorder.received.size(), 1u);
    EXPECT_EQ(recorder.received[0].item1, "data.dw2");
}

TEST_F(ChangeNotifyTest, NullEntryWatchesTheDesktop)
{
    RecordingWindow recorder;
    watch(recorder, nullptr, true);
    SHChangeNotify(SHCNE_CREATE, SHCNF_IDLIST, elsewhere_.get(), nullptr);
    handlePosted();
    EXPECT_EQ(recorder.received.size(), 1u);

    RecordingWindow topOnly;
    watch(topOnly, nullptr, false);
    SHChangeNotify(SHCNE_CREATE, SHCNF_IDLIST, deep_.get(), nullptr);
    SHChangeNotify(SHCNE_MKDIR, SHCNF_IDLIST, home_.get(), nullptr);
    handlePosted();
    ASSERT_EQ(topOnly.received.size(), 1u);
    EXPECT_EQ(topOnly.received[0].eventId, SHCNE_MKDIR);
}

TEST_F(ChangeNotifyTest, EventMaskAndSourcesFilterReports)
{
    RecordingWindow foldersOnly;
    watch(foldersOnly, home_.get(), true, SHCNE_MKDIR | SHCNE_RMDIR);
    RecordingWindow fileSystemOnly;
    watch(fileSystemOnly, home_.get(), true, SHCNE_ALLEVENTS, SHCNRF_InterruptLevel);

    SHChangeNotify(SHCNE_CREATE, SHCNF_IDLIST, report_.get(), nullptr);
    SHChangeNotify(SHCNE_RMDIR, SHCNF_IDLIST, docs_.get(), nullptr);
    handlePosted();

    ASSERT_EQ(foldersOnly.received.size(), 1u);
    EXPECT_EQ(foldersOnly.received[0].eventId, SHCNE_RMDIR);
    EXPECT_TRUE(fileSystemOnly.received.empty());

    // (A list no earlier test reported, so this is no echo of a shell report.)
    IdListPtr fresh = makeList({"home", "fresh-from-disk"});
    DeliverChangeReport(SHCNRF_InterruptLevel, SHCNE_CREATE, fresh.get(), nullptr);
    handlePosted();
    EXPECT_EQ(fileSystemOnly.received.size(), 1u);
}

TEST_F(ChangeNotifyTest, MachineWideEventsReachEveryFolderWatch)
{
    RecordingWindow recorder;
    watch(recorder, docs_.get(), false);
    IdListPtr driveMask = MakeDwordIdList(0x5);
    SHChangeNotify(SHCNE_FREESPACE, SHCNF_DWORD, driveMask.get(), nullptr);
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    handlePosted();

    ASSERT_EQ(recorder.received.size(), 2u);
    EXPECT_EQ(recorder.received[0].eventId, SHCNE_FREESPACE);
    EXPECT_EQ(recorder.received[1].eventId, SHCNE_ASSOCCHANGED);
}

TEST_F(ChangeNotifyTest, FileSystemEchoOfOwnReportArrivesOnce)
{
    RecordingWindow recorder;
    watch(recorder, home_.get(), true);
    IdListPtr before = makeList({"home", "docs", "echo-before.dw2"});
    IdListPtr after = makeList({"home", "docs", "echo-after.dw2"});

    SHChangeNotify(SHCNE_RENAMEITEM, SHCNF_IDLIST, before.get(), after.get());
    DeliverChangeReport(SHCNRF_InterruptLevel, SHCNE_RENAMEITEM, before.get(), after.get());
    // A second, genuine change of the same kind is not an echo.
    DeliverChangeReport(SHCNRF_InterruptLevel, SHCNE_RENAMEITEM, before.get(), after.get());
    handlePosted();

    EXPECT_EQ(recorder.received.size(), 2u);
}

TEST_F(ChangeNotifyTest, RefusesRegistrationsThatCouldNeverDeliver)
{
    RecordingWindow recorder;
    const SHChangeNotifyEntry entry{home_.get(), true};
    EXPECT_EQ(SHChangeNotifyRegister(nullptr, 3, SHCNE_ALLEVENTS, kReport, 1, &entry), 0u);
    EXPECT_EQ(SHChangeNotifyRegister(recorder.window(), 3, SHCNE_ALLEVENTS, kReport, 0, &entry), 0u);
    EXPECT_EQ(SHChangeNotifyRegister(recorder.window(), 3, 0, kReport, 1, &entry), 0u);
    EXPECT_EQ(SHChangeNotifyRegister(recorder.window(), 0, SHCNE_ALLEVENTS, kReport, 1, &entry), 0u);
    EXPECT_FALSE(SHChangeNotifyDeregister(0));
}

TEST_F(ChangeNotifyTest, ReportsFromOtherThreadsAreHandledOnTheWindowThread)
{
    std::thread::id handledOn;
    MessageWindow window([&](unsigned, WPARAM, LPARAM) {
        handledOn = std::this_thread::get_id();
        return LRESULT{0};
    });
    const SHChangeNotifyEntry entry{home_.get(), true};
    const unsigned long id = SHChangeNotifyRegister(&window, 3, SHCNE_ALLEVENTS, kReport, 1, &entry);
    std::thread reporter([this] { SHChangeNotify(SHCNE_CREATE, SHCNF_IDLIST, report_.get(), nullptr); });
    reporter.join();
    handlePosted();
    SHChangeNotifyDeregister(id);
    EXPECT_EQ(handledOn, std::this_thread::get_id());
}

TEST_F(ChangeNotifyTest, RegistrationObserverHearsRegisterAndDeregister)
{
    int calls = 0;
    SetRegistrationObserver([&calls] { ++calls; });
    RecordingWindow recorder;
    const unsigned long id = watch(recorder, docs_.get(), true);
    const auto roots = RegisteredRoots(SHCNRF_ShellLevel);
    SHChangeNotifyDeregister(id);
    SetRegistrationObserver({});

    EXPECT_EQ(calls, 2);
    ASSERT_FALSE(roots.empty());
    EXPECT_TRUE(ILIsEqual(roots.back().pidl.get(), docs_.get()));
    EXPECT_TRUE(roots.back().recursive);
}

TEST(DwordIdListTest, CarriesTheValueAfterTheSizeField)
{
    IdListPtr list = MakeDwordIdList(0x80000005u, 7);
    ASSERT_TRUE(list);
    const auto* bytes = reinterpret_cast<const unsigned char*>(list.get());
    EXPECT_EQ(bytes[2], 0x05);
    EXPECT_EQ(bytes[5], 0x80);
    EXPECT_EQ(DwordFromIdList(list.get()), 0x80000005u);
    EXPECT_EQ(ILGetSize(list.get()), 12u);
    EXPECT_EQ(DwordFromIdList(nullptr), 0u);
    IdListPtr tooShort(ILCreateFromData("ab"));
    EXPECT_EQ(DwordFromIdList(tooShort.get()), 0u);
}

} // namespace
} // namespace dw::platform
