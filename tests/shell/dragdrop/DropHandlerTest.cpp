// SPDX-License-Identifier: MIT
// A drop carried out by the handler: the file work on a worker thread, the
// window's thread free to answer, progress with Cancel, and the report.
#include "DropTestSupport.h"
#include "NamespaceFixture.h"

#include "platform/fileops/FileTransfer.h"
#include "platform/fileops/FolderDropTarget.h"
#include "platform/fileops/TransferProgress.h"
#include "shell/dragdrop/StDropHandler.h"
#include "tests/support/qt/EventLoopWaiting.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace dw::platform;
using namespace dw::platform::testing;
using dw::test::processEventsUntil;

namespace {

constexpr unsigned kAll = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
const std::string kLarge(3 * kCopyChunkBytes, 'z');

// Holds the worker after the first chunk of a file until the test lets it
// go or the drop is cancelled, and notes the worker's thread.
class ChunkGate {
public:
    ChunkGate()
    {
        setTransferHookForTests([this, window = std::this_thread::get_id()](TransferStage stage, const std::string&) {
            if (stage != TransferStage::CopiedChunk || reached.exchange(true))
                return;
            worker = std::this_thread::get_id();
            if (worker == window)
                return; // holding the window's own thread would only hang the test
            while (!released.load() && !(progress.load() && progress.load()->cancelRequested()))
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        });
    }
    ~ChunkGate() { setTransferHookForTests({}); }

    std::atomic<bool> reached{false};
    std::atomic<bool> released{false};
    std::atomic<const TransferProgress*> progress{nullptr};
    std::thread::id worker;
};

class DropHandler : public ::testing::Test {
protected:
    TempNamespace ns;
    ErrorUi ui;
    std::string target = ns.makeFolder("home/Target");

    // A handler for copying `paths` into Target, reporting to `ui`, not started.
    TStDropHandler* copying(const std::vector<std::string>& paths, QWidget* parent, ChunkGate* gate = nullptr)
    {
        FolderDropTarget dropTarget(target, nullptr);
        unsigned effect = kAll;
        std::unique_ptr<IDropOperation> operation;
        EXPECT_EQ(dropTarget.PrepareDrop(paths, MK_CONTROL, effect, operation), S_OK);
        auto* handler = new TStDropHandler(std::move(operation), effect, parent, &ui);
        if (gate)
            gate->progress = &handler->GetProgress();
        return handler;
    }
};

} // namespace

TEST_F(DropHandler, TheFileWorkRunsOnAWorkerWhileTheWindowKeepsAnsweringAndShowsProgress)
{
    const std::string large = ns.makeFile("home/large.bin", kLarge);
    QWidget window;
    ChunkGate gate;
    QPointer<TStDropHandler> handler = copying({large}, &window, &gate);
    handler->SetProgressDelay(0);
    std::optional<DropOutcome> finished;
    QObject::connect(handler, &TStDropHandler::Finished, [&](const DropOutcome& outcome) { finished = outcome; });
    handler->Start();

    // The worker is held inside the file; the event loop still runs.
    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, sinceTick.restart());
    });
    sinceTick.start();
    ticker.start(5);
    processEventsUntil([&] { return gate.reached && handler->GetProgressDialog(); }, 10000, 0);
    ASSERT_TRUE(gate.reached);
    ASSERT_TRUE(handler->GetProgressDialog());
    EXPECT_TRUE(handler->GetProgressDialog()->isVisible());
    EXPECT_NE(gate.worker, std::this_thread::get_id());
    EXPECT_FALSE(finished);
    processEventsUntil([&] { return handler->GetProgressDialog()->value() > 0; }, 10000, 0);
    EXPECT_EQ(handler->GetProgressDialog()->labelText(), "Copying \"large.bin\" (1 of 1)");
    ::testing::Test::RecordProperty("longest_event_loop_gap_ms", static_cast<int>(longestGap));

    gate.released = true;
    processEventsUntil([&] { return handler.isNull(); }, 10000, 0);
    EXPECT_TRUE(handler.isNull()); // gone by itself, dialog with it
    ASSERT_TRUE(finished);
    EXPECT_EQ(finished->result, S_OK);
    EXPECT_EQ(contentOf(target + "/large.bin"), kLarge);
    EXPECT_TRUE(window.findChildren<QProgressDialog*>().isEmpty());
}

TEST_F(DropHandler, CancelInTheDialogStopsInsideTheFileAndRemovesThePartialCopy)
{
    const std::string large = ns.makeFile("home/large.bin", kLarge);
    const std::string next = ns.makeFile("home/next.dw2");
    QWidget window;
    ChunkGate gate;
    QPointer<TStDropHandler> handler = copying({large, next}, &window, &gate);
    handler->SetProgressDelay(0);
    std::optional<DropOutcome> finished;
    QObject::connect(handler, &TStDropHandler::Finished, [&](const DropOutcome& outcome) { finished = outcome; });
    handler->Start();
    processEventsUntil([&] { return gate.reached && handler->GetProgressDialog(); }, 10000, 0);
    ASSERT_TRUE(handler->GetProgressDialog());

    const auto buttons = handler->GetProgressDialog()->findChildren<QAbstractButton*>();
    ASSERT_EQ(buttons.size(), 1);
    buttons.front()->click();
    processEventsUntil([&] { return handler.isNull(); }, 10000, 0);
    ASSERT_TRUE(finished);
    EXPECT_TRUE(finished->cancelled);
    EXPECT_TRUE(std::filesystem::is_empty(target));
    EXPECT_EQ(contentOf(large), kLarge);
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(DropHandler, WhatWasNotDoneIsToldAndARefusedDropStartsNothing)
{
    const std::string withPipe = ns.makeFolder("home/WithPipe");
    ASSERT_EQ(::mkfifo((withPipe + "/pipe").c_str(), 0600), 0);
    const std::string file = ns.makeFile("home/a.dw2", "a");
    QPointer<TStDropHandler> handler = copying({withPipe, file}, nullptr);
    handler->Start();
    processEventsUntil([&] { return handler.isNull(); }, 10000, 0);
    EXPECT_EQ(ui.errors, std::vector<std::string>{"Could not copy \"WithPipe\". This item does not support the "
                                                   "operation."});
    EXPECT_EQ(contentOf(target + "/a.dw2"), "a");

    // The entry point of a view: into itself is refused, and nothing runs.
    FolderDropTarget intoItself(target, nullptr);
    unsigned effect = kAll;
    EXPECT_EQ(TStDropHandler::Drop(intoItself, {target}, 0, effect, nullptr), nullptr);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    // A drop that goes well shows nothing and cleans up after itself.
    effect = kAll;
    QPointer<TStDropHandler> moving = TStDropHandler::Drop(intoItself, {file}, 0, effect, nullptr);
    EXPECT_EQ(effect, DROPEFFECT_MOVE);
    processEventsUntil([&] { return moving.isNull(); }, 10000, 0);
    EXPECT_TRUE(moving.isNull());
    EXPECT_EQ(contentOf(target + "/a (2).dw2"), "a");
}

TEST_F(DropHandler, AWindowClosedMidDropCancelsItAndWaitsForTheWorker)
{
    const std::string large = ns.makeFile("home/large.bin", kLarge);
    auto window = std::make_unique<QWidget>();
    ChunkGate gate;
    TStDropHandler* handler = copying({large}, window.get(), &gate);
    handler->SetProgressDelay(0);
    handler->Start();
    processEventsUntil([&] { return gate.reached && handler->GetProgressDialog(); }, 10000, 0);
    ASSERT_TRUE(gate.reached);
    window.reset(); // takes the handler and its dialog along; no worker may be left behind
    EXPECT_FALSE(exists(target + "/large.bin"));
    EXPECT_EQ(contentOf(large), kLarge);
}
