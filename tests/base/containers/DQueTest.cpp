// SPDX-License-Identifier: MIT
#include "base/containers/SsDQue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <memory>
#include <thread>
#include <vector>

namespace {

struct Report {
    static inline std::atomic<int> alive = 0;
    int producer;
    int sequence;
    Report(int p, int s) : producer(p), sequence(s) { ++alive; }
    ~Report() { --alive; }
};

class DQueTest : public ::testing::Test {
protected:
    void SetUp() override { Report::alive = 0; }
    void TearDown() override { EXPECT_EQ(Report::alive, 0); }
};

TEST_F(DQueTest, AppendAnswersTheNewCount)
{
    TStDQue<Report> queue;
    EXPECT_EQ(queue.Append(std::make_unique<Report>(0, 0)), 1u);
    EXPECT_EQ(queue.Append(std::make_unique<Report>(0, 1)), 2u);
    EXPECT_EQ(queue.PushHead(std::make_unique<Report>(0, -1)), 3u);
    EXPECT_EQ(queue.Count(), 3u);
    EXPECT_EQ(queue.Head()->sequence, -1);
}

TEST_F(DQueTest, HeadStaysQueuedUntilRemoved)
{
    TStDQue<Report> queue;
    queue.Append(std::make_unique<Report>(0, 1));
    queue.Append(std::make_unique<Report>(0, 2));
    Report* head = queue.Head();
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head, queue.Head());
    EXPECT_EQ(queue.Count(), 2u);
    EXPECT_TRUE(queue.RemoveHead());
    EXPECT_EQ(Report::alive, 1);
    EXPECT_EQ(queue.Head()->sequence, 2);
}

TEST_F(DQueTest, EmptyQueue)
{
    TStDQue<Report> queue;
    EXPECT_EQ(queue.Head(), nullptr);
    EXPECT_FALSE(queue.RemoveHead());
    EXPECT_EQ(queue.PopHead(), nullptr);
    EXPECT_TRUE(queue.IsEmpty());
    EXPECT_THROW(queue.Append(nullptr), ESsContainerError);
    EXPECT_EQ(queue.Count(), 0u);
}

TEST_F(DQueTest, DestroyingWithPendingItemsFreesThem)
{
    {
        TStDQue<Report> queue;
        for (int i = 0; i < 50; ++i)
            queue.Append(std::make_unique<Report>(0, i));
    }
    EXPECT_EQ(Report::alive, 0);
    TStDQue<Report> queue;
    queue.Append(std::make_unique<Report>(0, 0));
    queue.Clear();
    EXPECT_EQ(Report::alive, 0);
}

// A handler that appends while the drain runs: the drain picks up what was
// appended, in order, and nothing is lost or freed twice.
TEST_F(DQueTest, HandlerAppendingDuringDrainIsDrainedToo)
{
    TStDQue<Report> queue;
    queue.Append(std::make_unique<Report>(0, 0));
    std::vector<int> handled;
    while (Report* item = queue.Head()) {
        handled.push_back(item->sequence);
        if (item->sequence < 5)
            queue.Append(std::make_unique<Report>(0, item->sequence + 1));
        EXPECT_EQ(queue.Head(), item);
        queue.RemoveHead();
    }
    EXPECT_EQ(handled, (std::vector<int>{0, 1, 2, 3, 4, 5}));
}

// Several producers append while one consumer drains: every report arrives
// once, each producer's reports in the order they were appended.
TEST_F(DQueTest, ConcurrentProducersAndOneDrainingConsumer)
{
    constexpr int kProducers = 4;
    constexpr int kPerProducer = 5000;
    TStDQue<Report> queue;
    std::atomic<int> producersDone = 0;
    std::atomic<int> becameNonEmpty = 0;

    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([&, p] {
            for (int s = 0; s < kPerProducer; ++s) {
                if (queue.Append(std::make_unique<Report>(p, s)) == 1)
                    ++becameNonEmpty;
            }
            ++producersDone;
        });
    }

    std::map<int, int> nextExpected;
    int received = 0;
    bool ordered = true;
    while (producersDone < kProducers || !queue.IsEmpty()) {
        while (Report* item = queue.Head()) {
            if (item->sequence != nextExpected[item->producer])
                ordered = false;
            nextExpected[item->producer] = item->sequence + 1;
            ++received;
            queue.RemoveHead();
        }
        std::this_thread::yield();
    }
    for (auto& thread : producers)
        thread.join();

    EXPECT_TRUE(ordered);
    EXPECT_EQ(received, kProducers * kPerProducer);
    for (int p = 0; p < kProducers; ++p)
        EXPECT_EQ(nextExpected[p], kPerProducer);
    EXPECT_GE(becameNonEmpty, 1);
    EXPECT_EQ(Report::alive, 0);
}

} // namespace
