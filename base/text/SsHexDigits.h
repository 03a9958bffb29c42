// SPDX-License-Identifier: MIT
#pragma once
// Hexadecimal digits, as the escapes and byte lists of several text formats
// write them.

namespace ss {

// 0 to 15 for a hexadecimal digit of either case; -1 for anything else.
constexpr int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace ss
