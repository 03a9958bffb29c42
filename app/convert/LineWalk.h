// SPDX-License-Identifier: MIT
#pragma once
// Walks the lines of a block of calendar text.
//
// A line ends at CR LF, at a CR alone or at an LF alone; the terminator is not
// part of the line. LF followed by CR is two terminators. A last line without
// a terminator is still a line; a terminator at the very end adds no empty
// line. The terminators of 64 bytes are found at once as a bit mask, so the
// walk costs little more per line than a jump to the next set bit; nothing is
// copied and no list of lines is kept.

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace dw::convert {

struct WalkEnd {
    const char* rest = nullptr; // first byte not walked: an unfinished line, the end, or the NUL byte
    bool nul = false;           // stopped at a NUL byte
    bool stopped = false;       // the caller asked to stop; `rest` is the start of the next line
};

// What ends lines for a walk: with `nulEndsText`, a NUL byte ends the walk too.
template <bool nulEndsText>
struct Terminators {
    static bool is(char c) { return c == '\n' || c == '\r' || (nulEndsText && c == 0); }

#if defined(__SSE2__)
    static unsigned in16(const char* p)
    {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        __m128i hits = _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')));
        if constexpr (nulEndsText)
            hits = _mm_or_si128(hits, _mm_cmpeq_epi8(bytes, _mm_setzero_si128()));
        return unsigned(_mm_movemask_epi8(hits));
    }

    // One bit per byte of p[0..64) that is a terminator.
    static std::uint64_t in64(const char* p)
    {
        return std::uint64_t(in16(p)) | std::uint64_t(in16(p + 16)) << 16 | std::uint64_t(in16(p + 32)) << 32
            | std::uint64_t(in16(p + 48)) << 48;
    }
#else
    static std::uint64_t in64(const char* p)
    {
        std::uint64_t bits = 0;
        for (int i = 0; i < 64; ++i)
            bits |= std::uint64_t(is(p[i])) << i;
        return bits;
    }
#endif
};

// Calls onLine(begin, end) for each complete line of [text, end), in order;
// onLine answers false to stop the walk after that line. A line is complete
// when its terminator is known: an LF, a CR followed by another byte, or, with
// `atEnd` (nothing follows the block), a final CR or the end itself.
template <bool nulEndsText, typename OnLine>
WalkEnd walkLines(const char* text, const char* end, bool atEnd, OnLine&& onLine)
{
    using Ends = Terminators<nulEndsText>;
    const char* lineStart = text;
    WalkEnd result;
    // Handles the terminator at `t`; false when the walk is over.
    auto endLineAt = [&](const char* t) {
        if (t < lineStart)
            return true; // the LF of a CR LF, taken with its CR
        if (nulEndsText && *t == 0) {
            result = {t, true, false};
            return false;
        }
        const char* next = t + 1;
        if (*t == '\r') {
            if (next == end) {
                if (!atEnd) {
                    result = {lineStart, false, false}; // a LF may follow in the next block
                    return false;
                }
            } else if (*next == '\n') {
                ++next;
            }
        }
        if (!onLine(lineStart, t)) {
            result = {next, false, true};
            return false;
        }
        lineStart = next;
        return true;
    };
    const char* block = text;
    for (; end - block >= 64; block += 64) {
        for (std::uint64_t bits = Ends::in64(block); bits != 0; bits &= bits - 1)
            if (!endLineAt(block + __builtin_ctzll(bits)))
                return result;
    }
    for (const char* t = block; t < end; ++t)
        if (Ends::is(*t) && !endLineAt(t))
            return result;
    if (atEnd && lineStart < end) {
        if (!onLine(lineStart, end))
            return {end, false, true};
        lineStart = end;
    }
    return {lineStart, false, false};
}

// The first terminator in [p, end), or `end`.
template <bool nulEndsText>
const char* findTerminator(const char* p, const char* end)
{
    using Ends = Terminators<nulEndsText>;
    for (; end - p >= 64; p += 64)
        if (const std::uint64_t bits = Ends::in64(p))
            return p + __builtin_ctzll(bits);
    while (p < end && !Ends::is(*p))
        ++p;
    return p;
}

} // namespace dw::convert
