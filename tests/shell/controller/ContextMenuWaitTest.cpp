// SPDX-License-Identifier: MIT
// The context menu never waits on a disk on the window's thread: the menu,
// its verbs' work and the facts its dialogs show are asked on the item's
// volume line while the window turns its event loop; a disk that does not
// answer in time gets a message. Proven on a real share whose server stops
// answering (a FUSE file system, stopped with SIGSTOP).

#include "NamespaceFixture.h"

#include "platform/contextmenu/PropertiesDialog.h"
#include "platform/contextmenu/QtShellUi.h"
#include "platform/listing/ListingProducer.h"
#include "platform/namespace/IdRecord.h"
#include "shell/controller/StShellController.h"
#include "shell/controller/StVolumeLineWait.h"
#include "tests/support/HangingShare.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <future>
#include <mutex>
#include <thread>

using namespace dw::platform;
using namespace dw::platform::testing;
using namespace std::chrono_literals;

namespace {

// Counts how long the window's thread went at most without turning its
// event loop, from a timer that fires every 10 ms. A watchdog lets the
// test end should the thread hang all the same: it calls `unhang`.
class LoopTurning {
public:
    explicit LoopTurning(std::function<void()> unhang = {}) : unhang_(std::move(unhang))
    {
        QObject::connect(&ticker_, &QTimer::timeout, [this] { tick(); });
        ticker_.start(10);
        clock_.start();
        lastTick_ = 0;
        watchdog_ = std::thread([this] { watch(); });
    }
    ~LoopTurning()
    {
        {
            std::lock_guard lock(mutex_);
            ending_ = true;
        }
        wake_.notify_all();
        watchdog_.join();
    }
    qint64 longestStallMs() const { return longest_; }

private:
    void tick()
    {
        const qint64 now = clock_.elapsed();
        longest_ = std::max(longest_, now - lastTick_.load());
        lastTick_ = now;
    }
    void watch()
    {
        std::unique_lock lock(mutex_);
        while (!wake_.wait_for(lock, 100ms, [this] { return ending_; })) {
            if (clock_.elapsed() - lastTick_.load() > 3000 && unhang_) {
                unhang_();
                unhang_ = nullptr;
            }
        }
    }

    QTimer ticker_;
    QElapsedTimer clock_;
    std::atomic<qint64> lastTick_;
    qint64 longest_ = 0;
    std::function<void()> unhang_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool ending_ = false;
    std::thread watchdog_;
};

// Holds a volume's line busy until released, as a call on a hung share does.
class BusyLine {
public:
    explicit BusyLine(const std::string& volumeKey)
    {
        job_ = ListingProducer::instance().run(volumeKey, [state = state_](const std::atomic<bool>&) {
            std::unique_lock lock(state->mutex);
            state->begun = true;
            state->changed.notify_all();
            state->changed.wait(lock, [&] { return state->released; });
        });
        std::unique_lock lock(state_->mutex);
        state_->changed.wait(lock, [&] { return state_->begun; });
    }
    ~BusyLine() { release(); }
    void release()
    {
        std::lock_guard lock(state_->mutex);
        state_->released = true;
        state_->changed.notify_all();
    }

private:
    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        bool begun = false;
        bool released = false;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
    std::shared_ptr<ListingJob> job_;
};

} // namespace

TEST(RunOnVolumeLine, WorkBehindAHungCallIsDroppedUnbegunWhileTheLoopTurns)
{
    const std::string key = "/test-line-behind-a-hung-call";
    BusyLine busy(key);
    auto ran = std::make_shared<std::atomic<bool>>(false);
    LoopTurning turning;
    QElapsedTimer waited;
    waited.start();
    EXPECT_EQ(RunOnVolumeLine(key, [ran] { *ran = true; }, 300ms), OffWindowOutcome::NotBegun);
    EXPECT_LT(waited.elapsed(), 5000); // bounded: not until the line is free
    EXPECT_LT(turning.longestStallMs(), 150);
    busy.release();
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(*ran); // given up before it began: it never runs
}

TEST(RunOnVolumeLine, WorkThatHangsIsGivenUpOnAndMayStillEnd)
{
    const std::string key = "/test-line-hanging-work";
    auto gate = std::make_shared<std::promise<void>>();
    auto ended = std::make_shared<std::atomic<bool>>(false);
    std::shared_future<void> opened = gate->get_future().share();
    EXPECT_EQ(RunOnVolumeLine(key, [opened, ended] { opened.wait(); *ended = true; }, 200ms),
              OffWindowOutcome::StillRunning);
    gate->set_value();
    for (int i = 0; i < 100 && !*ended; ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_TRUE(*ended);
    EXPECT_EQ(RunOnVolumeLine(key, [] {}, 2000ms), OffWindowOutcome::Done);
}

namespace {

// Records what the verbs say instead of showing boxes; everything else is
// the window's own (dialogs, and the work waited for on volume lines).
class RecordingUi : public QtShellUi {
public:
    explicit RecordingUi(std::chrono::milliseconds patience)
        : QtShellUi(nullptr, [patience](const std::string& key, const std::function<void()>& work) {
              return RunOnVolumeLine(key, work, patience);
          })
    {
    }
    void showError(const std::string&, const std::string& message) override { errors.push_back(message); }
    bool askText(const std::string&, const std::string&, std::string& text) override
    {
        text = answer;
        return true;
    }

    std::vector<std::string> errors;
    std::string answer = "Plans";
};

// Closes every properties dialog that opens, after `look` has seen it.
class DialogCloser {
public:
    explicit DialogCloser(std::function<void(PropertiesDialog&)> look) : look_(std::move(look))
    {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            if (auto* dialog = dynamic_cast<PropertiesDialog*>(QApplication::activeModalWidget())) {
                look_(*dialog);
                ++closed_;
                dialog->reject();
            }
        });
        poll_.start(10);
    }
    int closed() const { return closed_; }

private:
    std::function<void(PropertiesDialog&)> look_;
    QTimer poll_;
    int closed_ = 0;
};

class HungShareTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directory(ns.root + "/share");
        share = std::make_unique<dw::test::HangingShare>(ns.root + "/share", "fileserver:/export");
        if (!share->unavailable().empty())
            GTEST_SKIP() << share->unavailable();
        controller.SetVolumePatience(kPatience);
        controller.SetShellUi(&ui);
        // Parsed while the server answers: parsing looks at the disk.
        folder = parsingNameToIdList("//fileserver/export/sub");
        calendar = parsingNameToIdList("//fileserver/export/sub/a.dw2");
        ASSERT_TRUE(folder && calendar);
    }
    void TearDown() override
    {
        share.reset(); // ends the server: calls still waiting on it fail
    }

    // The context menu of an item of the share, with `choose` picking from it.
    int showMenu(const IdListPtr& item, const std::function<int(const std::vector<ContextMenuEntry>&)>& choose)
    {
        controller.SetMenuChooser(choose);
        TStContextMenuOptions options;
        options.itemName = std::string(readRecord(ILFindLastID(item.get()))->payload);
        return controller.ShowContextMenu(nullptr, bindToParent(item.get()), nullptr, 0, 0, {ILFindLastID(item.get())},
                                          options);
    }
    static int commandOf(const std::vector<ContextMenuEntry>& entries, const std::string& verb)
    {
        for (const ContextMenuEntry& entry : entries) {
            if (entry.verb == verb)
                return static_cast<int>(entry.command);
        }
        ADD_FAILURE() << "no verb " << verb;
        return 0;
    }

    static constexpr std::chrono::milliseconds kPatience{500};
    TempNamespace ns{"fileserver:/export @ROOT@/share fuse.sshfs rw 0 0\n"};
    std::unique_ptr<dw::test::HangingShare> share;
    IdListPtr folder;   // the share's "sub"
    IdListPtr calendar; // "sub/a.dw2"
    TStCustomShellController controller;
    RecordingUi ui{kPatience};
};

} // namespace

TEST_F(HungShareTest, TheMenuOfAnItemOnAStoppedServerSaysItCannotBeReachedWhileTheWindowTurns)
{
    share->stop();
    LoopTurning turning([this] { share->resume(); });
    bool shown = false;
    EXPECT_EQ(showMenu(folder, [&](const auto&) { shown = true; return 0; }), -1);
    EXPECT_FALSE(shown);
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0], "\"sub\" cannot be reached. Its disk or server does not answer.");
    EXPECT_LT(turning.longestStallMs(), 250);
}

TEST_F(HungShareTest, PropertiesShowTheFactsOnceTheyComeOrSayTheyCannotBeShown)
{
    // An answering server: the dialog opens with the facts read on the share's line.
    QString shownName;
    DialogCloser closer([&](PropertiesDialog& dialog) {
        shownName = dialog.findChildren<QLabel*>().at(1)->text(); // the value beside "Name:"
    });
    showMenu(calendar, [](const auto& entries) { return commandOf(entries, "properties"); });
    EXPECT_EQ(shownName, "a.dw2");
    EXPECT_TRUE(ui.errors.empty());

    // The server stops between the menu and the dialog.
    LoopTurning turning([this] { share->resume(); });
    showMenu(calendar, [this](const auto& entries) {
        share->stop();
        return commandOf(entries, "properties");
    });
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0], "The properties of \"a.dw2\" cannot be shown. Its disk or server does not answer.");
    EXPECT_EQ(closer.closed(), 1);
    EXPECT_LT(turning.longestStallMs(), 250);
}

TEST_F(HungShareTest, ANewFolderAskedOfAStoppedServerIsSaidToGoOnAndIsMadeWhenItAnswers)
{
    LoopTurning turning([this] { share->resume(); });
    showMenu(folder, [this](const auto& entries) {
        share->stop();
        return commandOf(entries, "newfolder");
    });
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0], "Could not create the folder \"Plans\". Its disk or server stopped answering; what "
                            "was asked goes on and may still be done when it answers again.");
    EXPECT_LT(turning.longestStallMs(), 250);
    share->resume();
    bool made = false;
    for (int i = 0; i < 200 && !made; ++i) {
        std::this_thread::sleep_for(10ms);
        made = std::filesystem::is_directory(ns.root + "/share/sub/Plans");
    }
    EXPECT_TRUE(made);
}
