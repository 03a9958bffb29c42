// SPDX-License-Identifier: MIT
#pragma once
// The program's arguments as the engine takes paths: UTF-8 (on Windows,
// whatever the code page, and a name with lone UTF-16 units keeps them).
// Also readies the console for UTF-8 output on Windows.

#include <string>
#include <vector>

namespace dw::platform {

std::vector<std::string> programArguments(int argc, char** argv);

} // namespace dw::platform
