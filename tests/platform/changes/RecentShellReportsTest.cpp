// SPDX-License-Identifier: MIT
#include "platform/changes/RecentShellReports.h"
#include "platform/changes/ShellChangeEvents.h"
#include "tests/platform/changes/TestIdLists.h"

#include <gtest/gtest.h>

namespace dw::platform {
namespace {

using testing::makeList;
using Clock = RecentShellReports::Clock;

TEST(RecentShellReportsTest, MatchesOnlyTheSameEventAndLists)
{
    RecentShellReports recent;
    IdListPtr a = makeList({"home", "a"});
    IdListPtr b = makeList({"home", "b"});
    const auto now = Clock::now();
    recent.remember(SHCNE_RENAMEITEM, a.get(), b.get(), now);

    EXPECT_FALSE(recent.takeMatch(SHCNE_RENAMEFOLDER, a.get(), b.get(), now));
    EXPECT_FALSE(recent.takeMatch(SHCNE_RENAMEITEM, b.get(), a.get(), now));
    EXPECT_FALSE(recent.takeMatch(SHCNE_RENAMEITEM, a.get(), nullptr, now));
    EXPECT_TRUE(recent.takeMatch(SHCNE_RENAMEITEM, a.get(), b.get(), now));
    EXPECT_FALSE(recent.takeMatch(SHCNE_RENAMEITEM, a.get(), b.get(), now)) << "one echo per report";
}

TEST(RecentShellReportsTest, ForgetsOldReports)
{
    RecentShellReports recent;
    IdListPtr a = makeList({"home", "a"});
    const auto then = Clock::now();
    recent.remember(SHCNE_CREATE, a.get(), nullptr, then);
    EXPECT_FALSE(recent.takeMatch(SHCNE_CREATE, a.get(), nullptr, then + RecentShellReports::kMemory * 2));
    EXPECT_EQ(recent.size(), 0u);
}

TEST(RecentShellReportsTest, StaysBoundedUnderFloodsOfReports)
{
    RecentShellReports recent;
    IdListPtr a = makeList({"home", "a"});
    const auto now = Clock::now();
    for (std::size_t i = 0; i < RecentShellReports::kCapacity * 4; ++i)
        recent.remember(SHCNE_CREATE, a.get(), nullptr, now);
    EXPECT_EQ(recent.size(), RecentShellReports::kCapacity);
}

} // namespace
} // namespace dw::platform
