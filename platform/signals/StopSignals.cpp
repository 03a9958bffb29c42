// SPDX-License-Identifier: MIT
#include "platform/signals/StopSignals.h"

#include <csignal>
#include <initializer_list>

namespace dw::platform {

namespace {

volatile std::sig_atomic_t requested = 0;

extern "C" void rememberSignal(int signal)
{
    requested = signal;
}

} // namespace

void catchStopSignals()
{
    struct sigaction action {};
    action.sa_handler = rememberSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
}

int stopSignal()
{
    return requested;
}

} // namespace dw::platform
