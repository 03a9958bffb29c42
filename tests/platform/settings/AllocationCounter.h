// SPDX-License-Identifier: MIT
#pragma once
// Counts the bytes this test program asks of operator new, so that a test
// can tell what reading a file cost in memory without timing anything.

#include <cstddef>

namespace dw::test {

// Bytes allocated with operator new since the program started.
std::size_t bytesAllocated();

} // namespace dw::test
