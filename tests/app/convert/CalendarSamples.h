// SPDX-License-Identifier: MIT
#pragma once
// Texts to hold the fast scan against the plain rules with.

#include <cstddef>
#include <string>
#include <vector>

namespace dw::test {

// A calendar-like text made to trip a scanner: every tag in odd case, with
// odd indentation, attributes and trailing bytes, every kind of terminator,
// bytes that lower onto tag characters, and now and then a very long line.
std::string trickyCalendarText(unsigned seed, std::size_t lines);

// The shared conversion cases, as stored.
std::vector<std::string> sharedCaseTexts();

} // namespace dw::test
