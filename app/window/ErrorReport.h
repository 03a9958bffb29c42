// SPDX-License-Identifier: MIT
#pragma once
// How the window tells of errors that do not come from an event handler of
// its own: in the application's error box, as any handler's error is shown.

#include <exception>
#include <string>

namespace dw::window {

void ReportError(std::exception_ptr error);

// A start argument that cannot be used: on standard error for a terminal,
// and in the error box for a program started from a desktop launcher,
// which has no terminal.
void ReportStartupFailure(const std::string& message);

} // namespace dw::window
