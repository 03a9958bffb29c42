// SPDX-License-Identifier: MIT
#include "platform/files/BackgroundWorker.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>
#include <vector>

namespace {

TEST(BackgroundWorker, RunsJobsInOrderOnOneOtherThreadAndHandsBackResultsAndFailures)
{
    std::vector<int> order;
    std::vector<std::thread::id> threads;
    std::vector<std::future<int>> results;
    {
        dw::platform::BackgroundWorker worker;
        for (int i = 0; i < 50; ++i)
            results.push_back(worker.post([&, i] {
                order.push_back(i);
                threads.push_back(std::this_thread::get_id());
                return i * 2;
            }));
        std::future<int> failing = worker.post([]() -> int { throw std::runtime_error("disk gone"); });
        EXPECT_THROW(failing.get(), std::runtime_error);
        EXPECT_EQ(results[49].get(), 98);
        // Jobs still queued when the worker goes are run first.
        for (int i = 50; i < 60; ++i)
            results.push_back(worker.post([&, i] {
                order.push_back(i);
                return i;
            }));
    }
    std::vector<int> expected;
    for (int i = 0; i < 60; ++i)
        expected.push_back(i);
    EXPECT_EQ(order, expected);
    EXPECT_EQ(results[59].get(), 59);
    EXPECT_NE(threads.front(), std::this_thread::get_id());
    for (std::thread::id id : threads)
        EXPECT_EQ(id, threads.front());
}

} // namespace
