// SPDX-License-Identifier: MIT
#include "platform/signals/StopSignals.h"

#include <windows.h>

#include <atomic>

namespace dw::platform {

namespace {

// The numbers the exit status is made of, as for the POSIX signals they stand
// for: Ctrl+C is an interrupt, Ctrl+Break a break, closing the console (or
// logging off, or shutting down) a hang-up.
constexpr int interrupt = 2;
constexpr int breakKey = 21;
constexpr int hangUp = 1;

std::atomic<int> requested{0};

BOOL WINAPI onConsoleEvent(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT: requested = interrupt; return TRUE;
    case CTRL_BREAK_EVENT: requested = breakKey; return TRUE;
    default:
        // Returning would end the program at once, maybe in the middle of a
        // file; waiting here lets the run stop between two files and exit,
        // which ends this thread too (Windows allows a few seconds).
        requested = hangUp;
        Sleep(INFINITE);
        return TRUE;
    }
}

} // namespace

void catchStopSignals()
{
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

int stopSignal()
{
    return requested;
}

} // namespace dw::platform
