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

// First CR or LF at or after `p`, or `end`.
const char* findLineTerminator(const char* p, const char* end);

// Walks the lines of a text one by one, so that a scan over them needs no
// list of lines at all.
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : p_(text.data()), end_(text.data() + text.size()) {}

    // The next line, or false when the text is used up.
    bool next(std::string_view& line)
    {
        if (p_ >= end_)
            return false;
        const char* stop = findLineTerminator(p_, end_);
        line = std::string_view(p_, std::size_t(stop - p_));
        p_ = stop;
        if (p_ < end_) {
            const bool crLf = *p_ == '\r' && p_ + 1 < end_ && p_[1] == '\n';
            p_ += crLf ? 2 : 1;
        }
        return true;
    }

private:
    const char* p_;
    const char* end_;
};

// Replaces the contents of `lines` with the lines of `text`.
void splitLines(std::string_view text, std::vector<LineSpan>& lines);

} // namespace dw::convert
