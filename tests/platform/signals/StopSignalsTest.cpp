// SPDX-License-Identifier: MIT
// Ctrl+C and Ctrl+Break in a console become a request to stop, which a run
// looks at between two files, instead of ending the program where it is.

#include "platform/signals/StopSignals.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

// Registered before the stop handler, so called only when that one lets an
// event pass on (towards the default, which ends the program); it keeps the
// test alive to say so.
std::atomic<bool> passedOn{false};

BOOL WINAPI noteEventPassedOn(DWORD)
{
    passedOn = true;
    return TRUE;
}

bool underWine()
{
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// The console runs handlers on a thread of its own.
bool stopRequestedWithin(int expected, std::chrono::milliseconds patience)
{
    const auto end = std::chrono::steady_clock::now() + patience;
    while (dw::platform::stopSignal() != expected) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

} // namespace

// Started without a console (a service, headless CI), the test makes one of
// its own for the events to come through; it is alone on it.
static void OnAConsoleOfOurOwnWithTheStopHandler()
{
    FreeConsole();
    ASSERT_TRUE(AllocConsole()) << GetLastError();
    // A process started in a new process group ignores Ctrl+C until it asks.
    SetConsoleCtrlHandler(nullptr, FALSE);
    SetConsoleCtrlHandler(noteEventPassedOn, TRUE);
    dw::platform::catchStopSignals();
}

TEST(StopSignals, CtrlCAsksTheRunToStopAndTheProgramGoesOn)
{
    OnAConsoleOfOurOwnWithTheStopHandler();
    ASSERT_EQ(dw::platform::stopSignal(), 0);
    ASSERT_TRUE(GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) << GetLastError();
    EXPECT_TRUE(stopRequestedWithin(2, std::chrono::seconds(5)));
    EXPECT_FALSE(passedOn) << "the event went on to end the program";
}

TEST(StopSignals, CtrlBreakAsksTheRunToStopAndTheProgramGoesOn)
{
    OnAConsoleOfOurOwnWithTheStopHandler();
    if (!GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, 0)) {
        if (underWine())
            GTEST_SKIP() << "Wine does not send Ctrl+Break to a console's processes (error " << GetLastError() << ")";
        FAIL() << GetLastError();
    }
    EXPECT_TRUE(stopRequestedWithin(21, std::chrono::seconds(5)));
    EXPECT_FALSE(passedOn) << "the event went on to end the program";
}
