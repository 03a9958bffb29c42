// SPDX-License-Identifier: MIT
#include "app/convert/InsertionScreen.h"

#include "app/convert/CalendarScanner.h"
#include "app/convert/LineWalk.h"

#if defined(__x86_64__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace dw::convert {

namespace {

bool endsLine(char c) { return c == '\n' || c == '\r'; }
bool isBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

// The places worth a closer look: a "<" with "c", "s" or "o" six bytes on,
// in any case (as in "<eventcolor>", "<eventstyle>" and "</daycolors>"), and
// NUL bytes. Other tags match too, now and then; they are weeded out after.
bool isMark(const char* p)
{
    const char sixth = char(p[6] | 0x20);
    return *p == 0 || (*p == '<' && (sixth == 'c' || sixth == 's' || sixth == 'o'));
}

// The first mark at or after p, or a place at or after `rest` when none
// comes before it; reads up to screenSlack bytes past `rest`.
using MarkFinder = const char* (*)(const char* p, const char* rest);

[[maybe_unused]] const char* nextMarkByByte(const char* p, const char* rest)
{
    while (p < rest && !isMark(p))
        ++p;
    return p;
}

#if defined(__SSE2__)
const char* nextMark16(const char* p, const char* rest)
{
    const auto load = [](const char* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); };
    const auto is = [](__m128i bytes, char c) { return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(c)); };
    for (; p < rest; p += 16) {
        const __m128i first = load(p);
        const __m128i sixth = _mm_or_si128(load(p + 6), _mm_set1_epi8(0x20));
        const __m128i letter = _mm_or_si128(_mm_or_si128(is(sixth, 'c'), is(sixth, 's')), is(sixth, 'o'));
        const __m128i tag = _mm_and_si128(is(first, '<'), letter);
        if (const unsigned bits = unsigned(_mm_movemask_epi8(_mm_or_si128(tag, is(first, 0)))))
            return p + __builtin_ctz(bits);
    }
    return rest;
}
#endif

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define DW_AVX2 __attribute__((target("avx2")))

DW_AVX2 inline __m256i load32(const char* at) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at)); }
DW_AVX2 inline __m256i is32(__m256i bytes, char c) { return _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(c)); }

DW_AVX2 const char* nextMark32(const char* p, const char* rest)
{
    for (; p < rest; p += 32) {
        const __m256i first = load32(p);
        const __m256i sixth = _mm256_or_si256(load32(p + 6), _mm256_set1_epi8(0x20));
        const __m256i letter = _mm256_or_si256(_mm256_or_si256(is32(sixth, 'c'), is32(sixth, 's')), is32(sixth, 'o'));
        const __m256i tag = _mm256_and_si256(is32(first, '<'), letter);
        if (const unsigned bits = unsigned(_mm256_movemask_epi8(_mm256_or_si256(tag, is32(first, 0)))))
            return p + __builtin_ctz(bits);
    }
    return rest;
}
#endif

// The widest finder this processor runs.
MarkFinder chooseMarkFinder()
{
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    __builtin_cpu_init(); // in case this runs before the compiler's own start-up code
    if (__builtin_cpu_supports("avx2"))
        return nextMark32;
#endif
#if defined(__SSE2__)
    return nextMark16;
#else
    return nextMarkByByte;
#endif
}

// The first byte after the last complete line of [text, end): a final CR
// is no complete end unless nothing follows, since an LF may come next.
const char* afterLastCompleteLine(const char* text, const char* end, bool atEnd)
{
    if (atEnd)
        return end;
    const char* p = end;
    if (p > text && p[-1] == '\r')
        --p;
    while (p > text && !endsLine(p[-1]))
        --p;
    return p;
}

// The start of the line that holds p[-1]: the byte after the last line end
// in [text, p), or `text`.
const char* startOfLineBefore(const char* text, const char* p)
{
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; p - text >= 16; p -= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p - 16));
        const unsigned ends = unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf))));
        if (ends != 0)
            return p - 16 + (32 - __builtin_clz(ends));
    }
#endif
    while (p > text && !endsLine(p[-1]))
        --p;
    return p;
}

// The tag of the line that ends just before `lineStart`, a line start
// inside [text, ...); `before` is the tag of the line before `text`.
CalendarTag tagOfLineBefore(const char* text, const char* lineStart, CalendarTag before)
{
    if (lineStart == text)
        return before;
    const char* lineEnd = lineStart - 1;
    if (*lineEnd == '\n' && lineEnd > text && lineEnd[-1] == '\r')
        --lineEnd;
    return classifyLine(startOfLineBefore(text, lineEnd), lineEnd);
}

bool isSecondOfAPair(CalendarTag tag)
{
    return tag == CalendarTag::EventColor || tag == CalendarTag::EventStyle || tag == CalendarTag::DayColorsClose;
}

// Looks closer at a place where the second line of a pair may start.
bool pairEndsAt(const char* text, const char* rest, const char* at, CalendarTag before)
{
    const char* lineStart = at;
    while (lineStart > text && isBlank(lineStart[-1]) && !endsLine(lineStart[-1]))
        --lineStart;
    if (lineStart > text && !endsLine(lineStart[-1]))
        return false; // text before it on its line: not where its key starts
    const CalendarTag tag = classifyLine(lineStart, findTerminator<false>(at, rest));
    return isSecondOfAPair(tag) && formsInsertionPair(tagOfLineBefore(text, lineStart, before), tag);
}

} // namespace

ScreenEnd screenLines(const char* text, const char* end, bool atEnd, CalendarTag& previous)
{
    ScreenEnd result;
    result.rest = afterLastCompleteLine(text, end, atEnd);
    const char* rest = result.rest;
    static const MarkFinder nextMark = chooseMarkFinder();
    for (const char* p = text; (p = nextMark(p, rest)) < rest; ++p) {
        if (*p == 0) {
            result.nul = true;
            return result;
        }
        if (pairEndsAt(text, rest, p, previous)) {
            result.pair = true;
            return result;
        }
    }
    if (rest > text && !atEnd)
        previous = tagOfLineBefore(text, rest, previous);
    return result;
}

} // namespace dw::convert
