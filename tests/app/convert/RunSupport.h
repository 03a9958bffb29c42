// SPDX-License-Identifier: MIT
#pragma once
// What the tests of whole conversion runs share.

#include "app/convert/ConversionRun.h"
#include "platform/files/FileIo.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace dw::test {

inline const std::string needsAlign = "<datewright>\r\n<script>\r\n<daycal>\r\n<events>\r\n<eventcolor>1\r\n";
inline const std::string aligned =
    "<datewright>\r\n<script>\r\n<daycal>\r\n<events>\r\n        <EventAlign>Middle</EventAlign>\r\n<eventcolor>1\r\n";

struct Recorder : convert::ConversionObserver {
    std::vector<std::string> written, skipped, reasons;
    std::vector<std::string> order; // "written PATH" and "skipped PATH", as they came
    void calendarWritten(const std::string& path) override
    {
        written.push_back(path);
        order.push_back("written " + path);
    }
    void calendarSkipped(const std::string& path, const std::string& reason) override
    {
        skipped.push_back(path);
        reasons.push_back(reason);
        order.push_back("skipped " + path);
    }
};

// The system calls, with writes and flushes open to meddling. Flushes run on
// several threads at once, so the counts are atomic.
struct FaultyIo {
    std::atomic<int> pwriteCalls{0};
    std::atomic<int> syncCalls{0};
    std::function<ssize_t(int, const void*, std::size_t, off_t)> pwrite;
    std::function<int(int)> fdatasync;

    platform::FileIo io();
};

std::vector<convert::CalendarEntry> selected(const std::vector<std::string>& names);

// Three calendars that need converting, a.dw2, b.dw2 and c.dw2, converted
// with system calls open to meddling.
class ThreeCalendars : public ::testing::Test {
protected:
    TempFolder folder;
    FaultyIo faulty;
    Recorder recorder;
    platform::FileIo io = faulty.io();

    void SetUp() override;
    // Converts the named calendars; what the run answers.
    std::int32_t convert(const std::vector<std::string>& names);
};

// Runs `body` in a child process; answers its exit code, or 128 plus the
// signal that ended it.
int inChild(const std::function<int()>& body);

// Names in `folder` that start with a dot: what a run must never leave.
std::string hiddenNames(const std::string& folder);

} // namespace dw::test
