#include "platform/namespace/ProcessLauncher.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

using dw::platform::launchDetached;

namespace {

bool appearsWithin(const std::string& path, std::chrono::seconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (std::filesystem::exists(path))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

} // namespace

TEST(ProcessLauncher, ArgumentsReachTheProgramWithTheirExactBytes)
{
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    // Shell syntax in a name stays part of the name (a shell would make
    // "injected" in the working folder).
    const std::string odd = folder + "/odd\xff\nname;$(touch injected)";
    ASSERT_TRUE(launchDetached({"touch", odd}));
    EXPECT_TRUE(appearsWithin(odd, std::chrono::seconds(10)));
    EXPECT_FALSE(std::filesystem::exists("injected"));
}

TEST(ProcessLauncher, ProgramsThatCannotStartAreReported)
{
    EXPECT_FALSE(launchDetached({"/nonexistent/program", "x"}));
    EXPECT_FALSE(launchDetached({"no-such-program-anywhere-4711"}));
    EXPECT_FALSE(launchDetached({}));
    EXPECT_FALSE(launchDetached({""}));
}
