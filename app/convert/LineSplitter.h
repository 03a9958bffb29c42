#pragma once
// Splits calendar text into lines without copying it.
//
// A line ends at CR LF, at a CR alone or at an LF alone; the terminator is not
// part of the line. LF followed by CR is two terminators. A last line without
// a terminator is still a line; a terminator at the very end adds no empty
// line; empty text has no lines.

#include <cstddef>
#include <string_view>
#include <vector>

namespace dw::convert {

struct LineSpan {
    std::size_t begin = 0;
    std::size_t length = 0;

    std::string_view in(std::string_view text) const { return text.substr(begin, length); }
};

// Replaces the contents of `lines` with the lines of `text`.
void splitLines(std::string_view text, std::vector<LineSpan>& lines);

} // namespace dw::convert
