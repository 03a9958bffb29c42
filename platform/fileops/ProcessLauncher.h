// SPDX-License-Identifier: MIT
#pragma once
// Starts a program detached from this one, from an argument vector of exact
// bytes (no shell, no conversion through text, so file names with any bytes
// reach the program as they are).

#include <string>
#include <vector>

namespace dw::platform {

// Searches PATH for `arguments[0]` like execvp. True when the program was
// started; false (with nothing started) when it could not be: no such
// program, no permission, no process to spare. The program gets a session
// of its own and is waited for when it ends, so it never lingers as a
// zombie.
bool launchDetached(const std::vector<std::string>& arguments);

// Opens a path with the desktop's default application.
bool openWithDefaultApplication(const std::string& path);

} // namespace dw::platform
