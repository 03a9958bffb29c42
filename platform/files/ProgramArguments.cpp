// SPDX-License-Identifier: MIT
#include "platform/files/ProgramArguments.h"

namespace dw::platform {

// Linux hands programs their arguments as bytes, which are taken as they are.
std::vector<std::string> programArguments(int argc, char** argv)
{
    return std::vector<std::string>(argv + 1, argv + argc);
}

} // namespace dw::platform
