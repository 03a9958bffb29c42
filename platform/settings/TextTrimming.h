// SPDX-License-Identifier: MIT
#pragma once
// White space around the fields of a settings line.

#include <string_view>

namespace dw::platform {

inline bool isBlankInLine(char c) { return c == ' ' || c == '\t' || c == '\r'; }

inline std::string_view trimmedOfBlanks(std::string_view text)
{
    while (!text.empty() && isBlankInLine(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlankInLine(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace dw::platform
