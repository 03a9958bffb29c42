#pragma once
// Starts a program detached from this one, from an argument vector of exact
// bytes (no shell, no conversion through text, so file names with any bytes
// reach the program as they are).

#include <string>
#include <vector>

namespace dw::platform {

// Searches PATH for `arguments[0]` like execvp. True when the program was
// started; false (with nothing started) when it could not be.
bool launchDetached(const std::vector<std::string>& arguments);

} // namespace dw::platform
