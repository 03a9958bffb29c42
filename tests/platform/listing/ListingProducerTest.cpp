// SPDX-License-Identifier: MIT
// Listings run off the asking thread: batches arrive in order through the
// event loop, a listing held by a folder that does not answer keeps neither
// the event loop nor other volumes waiting, and a cancelled or abandoned
// listing delivers nothing.

#include "platform/listing/LineCall.h"
#include "platform/listing/ListingDelivery.h"

#include "platform/fakenamespace/FakeNamespace.h"
#include "tests/support/qt/EventLoopWaiting.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

#include <thread>

using namespace dw::platform;
using namespace dw::platform::fake;

namespace {

class ListingProducerTest : public ::testing::Test {
protected:
    std::shared_ptr<FakeNamespace> ns = std::make_shared<FakeNamespace>();
    ScopedShellNamespace scope{ns};
    FakeNode& share = ns->addFolder(ns->desktop(), "share", "//server/share");
    FakeNode& local = ns->addFolder(ns->desktop(), "local", "/home/ann");

    void SetUp() override
    {
        share.volumeKey = "//server/share";
        local.volumeKey = "/";
        share.gate = std::make_shared<ListingGate>();
    }

    ListingRequest requestFor(const FakeNode& node) const
    {
        ListingRequest request;
        request.folder = shareIdList(ns->absoluteOf(node));
        request.flags = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS;
        request.probeChildren = true;
        return request;
    }

    struct Received {
        std::vector<ListingBatch> batches;
        bool last() const { return !batches.empty() && batches.back().last; }
        std::vector<std::string> names() const
        {
            std::vector<std::string> result;
            for (const ListingBatch& batch : batches)
                for (const ChildRecord& record : batch.records)
                    result.push_back(record.displayName);
            return result;
        }
    };

    std::unique_ptr<ListingDelivery> deliver(ListingRequest request, Received& into)
    {
        return std::make_unique<ListingDelivery>(std::move(request),
                                                 [&into](ListingBatch&& batch) { into.batches.push_back(std::move(batch)); });
    }
};

} // namespace

TEST_F(ListingProducerTest, RecordsArriveInBatchesInTheFolderOrderWithTheirFacts)
{
    std::vector<std::string> expected;
    for (int i = 0; i < 600; ++i) {
        expected.push_back("folder " + std::to_string(i));
        ns->addFolder(local, expected.back(), "/home/ann/" + std::to_string(i));
    }
    ns->addFolder(local.children.front()[0], "inner", "/home/ann/0/inner");
    ns->addFile(local, "a.dw2", "/home/ann/a.dw2", 42);
    expected.push_back("a.dw2");
    Received received;
    const auto delivery = deliver(requestFor(local), received);
    dw::test::processEventsUntil([&] { return received.last(); });

    ASSERT_TRUE(received.last());
    EXPECT_EQ(received.names(), expected);
    EXPECT_GE(received.batches.size(), 3u); // 256 per batch at most
    for (const ListingBatch& batch : received.batches)
        EXPECT_LE(batch.records.size(), 256u);
    const ChildRecord& first = received.batches.front().records.front();
    EXPECT_TRUE(first.hasChildren);
    EXPECT_TRUE(first.attributes & SFGAO_FOLDER);
    EXPECT_TRUE(ILIsEqual(first.relative(), ILFindLastID(ns->absoluteOf(*local.children[0]).get())));
    EXPECT_EQ(first.parsingName, "/home/ann/0");
    EXPECT_GE(first.iconIndex, 0);
    const ChildRecord* last = nullptr; // the last batch may bring only the outcome
    for (const ListingBatch& batch : received.batches)
        if (!batch.records.empty())
            last = &batch.records.back();
    ASSERT_TRUE(last);
    const ChildRecord& file = *last;
    EXPECT_FALSE(file.hasChildren);
    EXPECT_FALSE(file.attributes & SFGAO_FOLDER);
    EXPECT_EQ(received.batches.back().result, S_OK);
}

TEST_F(ListingProducerTest, AFolderThatCannotBeReadSaysSo)
{
    local.failEnumeration = true;
    Received received;
    const auto delivery = deliver(requestFor(local), received);
    dw::test::processEventsUntil([&] { return received.last(); });
    ASSERT_TRUE(received.last());
    EXPECT_TRUE(failed(received.batches.back().result));
    EXPECT_FALSE(received.batches.back().errorText.empty());
}

// A share whose server stopped answering holds its own listing only: the
// event loop goes on, and a folder of another volume lists meanwhile.
TEST_F(ListingProducerTest, AHeldListingBlocksNeitherTheEventLoopNorOtherVolumes)
{
    ns->addFolder(share, "remote", "//server/share/remote");
    ns->addFolder(local, "Calendars", "/home/ann/Calendars");
    share.gate->close();
    Received held;
    const auto heldDelivery = deliver(requestFor(share), held);
    ASSERT_TRUE(share.gate->waitForHeld(1, 5000));

    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(5);
    Received other;
    const auto otherDelivery = deliver(requestFor(local), other);
    dw::test::processEventsUntil([&] { return other.last() && ticks >= 5; });
    EXPECT_TRUE(other.last());
    EXPECT_EQ(other.names(), std::vector<std::string>{"Calendars"});
    EXPECT_GE(ticks, 5);
    EXPECT_TRUE(held.batches.empty());

    share.gate->open();
    dw::test::processEventsUntil([&] { return held.last(); });
    EXPECT_EQ(held.names(), std::vector<std::string>{"remote"});
}

TEST_F(ListingProducerTest, CancelledOrAbandonedListingsDeliverNothing)
{
    ns->addFolder(share, "remote", "//server/share/remote");
    share.gate->close();
    Received cancelled;
    const auto cancelledDelivery = deliver(requestFor(share), cancelled);
    Received abandoned;
    auto abandonedDelivery = deliver(requestFor(share), abandoned);
    ASSERT_TRUE(share.gate->waitForHeld(1, 5000));
    cancelledDelivery->cancel();
    abandonedDelivery.reset(); // the view that asked went away
    share.gate->open();

    // A later listing of the same share comes through, after both.
    Received later;
    const auto laterDelivery = deliver(requestFor(share), later);
    dw::test::processEventsUntil([&] { return later.last(); });
    EXPECT_TRUE(later.last());
    EXPECT_TRUE(cancelled.batches.empty());
    EXPECT_TRUE(abandoned.batches.empty());
}

TEST_F(ListingProducerTest, TheSynchronousFormListsOnTheCallingThread)
{
    ns->addFolder(local, "Calendars", "/home/ann/Calendars");
    std::vector<std::string> names;
    bool last = false;
    ListingProducer::listNow(requestFor(local), [&](ListingBatch&& batch) {
        for (const ChildRecord& record : batch.records)
            names.push_back(record.displayName);
        last = batch.last;
    });
    EXPECT_TRUE(last);
    EXPECT_EQ(names, std::vector<std::string>{"Calendars"});
}

TEST_F(ListingProducerTest, AQuickListingCanBeWaitedForAndASlowOneGoesOnInTheBackground)
{
    ns->addFolder(local, "Calendars", "/home/ann/Calendars");
    Received quick;
    const auto quickDelivery = deliver(requestFor(local), quick);
    EXPECT_TRUE(quickDelivery->waitFinished(std::chrono::seconds(5)));
    EXPECT_EQ(quick.names(), std::vector<std::string>{"Calendars"}); // in place when the call returns

    // However many batches it takes: every one is handed on before the
    // wait returns.
    std::vector<std::string> many;
    for (int i = 0; i < 600; ++i) {
        many.push_back("many " + std::to_string(i));
        ns->addFolder(local, many.back(), "/home/ann/many" + std::to_string(i));
    }
    many.insert(many.begin(), "Calendars");
    ListingRequest batched = requestFor(local);
    batched.batchSize = 16;
    Received all;
    const auto allDelivery = deliver(std::move(batched), all);
    EXPECT_TRUE(allDelivery->waitFinished(std::chrono::seconds(5)));
    EXPECT_TRUE(all.last());
    EXPECT_EQ(all.names(), many);

    ns->addFolder(share, "remote", "//server/share/remote");
    share.gate->close();
    Received slow;
    const auto slowDelivery = deliver(requestFor(share), slow);
    EXPECT_FALSE(slowDelivery->waitFinished(std::chrono::milliseconds(50)));
    share.gate->open();
    dw::test::processEventsUntil([&] { return slow.last(); });
    EXPECT_EQ(slow.names(), std::vector<std::string>{"remote"});
}

// A listing still going after the short wait shows what it brought: a
// folder held part-way does not keep its first rows from the view.
TEST_F(ListingProducerTest, AWaitForFirstRowsReturnsWithThemWhileTheListingGoesOn)
{
    for (int i = 0; i < 40; ++i)
        ns->addFolder(share, "r" + std::to_string(i), "//server/share/r" + std::to_string(i));
    share.gate->openFor(20);
    ListingRequest request = requestFor(share);
    request.batchSize = 8;
    Received first;
    const auto delivery = deliver(std::move(request), first);
    QElapsedTimer waited;
    waited.start();
    EXPECT_FALSE(delivery->waitFinished(std::chrono::seconds(60), std::chrono::milliseconds(5)));
    EXPECT_LT(waited.elapsed(), 30000) << "waited for the end of a listing held part-way";
    EXPECT_FALSE(first.names().empty());
    EXPECT_FALSE(first.last());
    share.gate->open();
    dw::test::processEventsUntil([&] { return first.last(); });
    EXPECT_EQ(first.names().size(), 40u);
}

TEST_F(ListingProducerTest, AHandlerMayDestroyTheDeliveryThatCallsIt)
{
    for (int i = 0; i < 600; ++i)
        ns->addFolder(local, "f" + std::to_string(i), "/home/ann/f" + std::to_string(i));
    int batches = 0;
    std::unique_ptr<ListingDelivery> delivery;
    ListingRequest request = requestFor(local);
    request.batchSize = 16;
    delivery = std::make_unique<ListingDelivery>(std::move(request), [&](ListingBatch&&) {
        ++batches;
        delivery.reset();
    });
    delivery->waitFinished(std::chrono::seconds(5));
    dw::test::processEventsUntil([] { return false; }, 100, 0);
    EXPECT_EQ(batches, 1);
}

// What a call hands on may end the call's own life (the last owner of an
// open under way lets go of it): the call must not touch itself afterwards.
TEST_F(ListingProducerTest, ACallWhoseResultDestroysItIsNotTouchedAfterwards)
{
    for (const bool deleteWhenDone : {false, true}) {
        // The line is busy a while, so the result comes through the event loop.
        ListingProducer::instance().run("/", [](const std::atomic<bool>&) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        });
        std::unique_ptr<LineCall> call;
        bool handedOn = false;
        call = std::make_unique<LineCall>("/", [] {}, [&] {
            handedOn = true;
            call.reset();
        });
        call->SetDeleteWhenDone(deleteWhenDone);
        EXPECT_FALSE(call->waitFinished(std::chrono::milliseconds(20)));
        dw::test::processEventsUntil([&] { return handedOn; });
        EXPECT_TRUE(handedOn);
        EXPECT_FALSE(call);
    }
}
