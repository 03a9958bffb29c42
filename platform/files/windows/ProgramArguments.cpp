// SPDX-License-Identifier: MIT
#include "platform/files/ProgramArguments.h"

#include "platform/files/windows/WinText.h"

#include <windows.h>
#include <shellapi.h>

namespace dw::platform {

std::vector<std::string> programArguments(int, char**)
{
    SetConsoleOutputCP(CP_UTF8);
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i)
        arguments.push_back(win::narrow(words[i]));
    LocalFree(words);
    return arguments;
}

} // namespace dw::platform
