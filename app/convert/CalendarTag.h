// SPDX-License-Identifier: MIT
#pragma once
// Recognises the tag lines the conversion cares about.
//
// A line's key is the line in lower case (A-Z only) with every byte of value
// 32 or less trimmed from both ends. Every test the conversion makes on a key
// is one of the patterns below, and no key can match two of them, so each
// line is classified once and the scan compares small numbers instead of text.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace dw::convert {

enum class CalendarTag : std::uint8_t {
    Other,
    Root,           // equals "<datewright>"
    Script,         // equals "<script>"
    DayOpen,        // equals "<daycal>"
    DayClose,       // equals "</daycal>"
    WeekOpen,       // equals "<weekcal>"
    WeekClose,      // equals "</weekcal>"
    MonthOpen,      // equals "<monthcal>"
    MonthClose,     // equals "</monthcal>"
    EventsOpen,     // equals "<events>"
    EventsClose,    // equals "</events>"
    DayColorsClose, // equals "</daycolors>"
    EventColor,     // starts with "<eventcolor>"
    EventStyle,     // starts with "<eventstyle>"
    EventIcons,     // starts with "<eventicons>"
    SatColor,       // starts with "<satcolor>"
};

// The longest tag text compared, "<datewright>" and its peers of 12 bytes.
inline constexpr std::size_t longestTagText = 12;

// The key of a line without the case change: the line with its leading and
// trailing bytes of value 32 or less removed.
std::string_view trimmedKey(std::string_view line);

// Classifies the line [begin, end); reads no byte outside it.
inline CalendarTag classifyLine(const char* begin, const char* end);

inline CalendarTag classifyLine(std::string_view line)
{
    return classifyLine(line.data(), line.data() + line.size());
}

// Classifies a line too long to hold at once from what decides its tag: the
// first bytes of its key (at least longestTagText + 1 of them, or the whole
// key when it is shorter) and the key's full length.
CalendarTag classifyKeyStart(std::string_view keyStart, std::uint64_t keyLength);

namespace tagmatch {

// The first eight bytes of a key, read as one word with bit 5 of every byte
// set, pick the only tag the key may match: no two tag texts share their
// first eight bytes, and none is shorter. Setting bit 5 lowers A-Z; it also
// maps a few other bytes onto the tags' characters (0x1C onto "<"), so a
// word that matches is confirmed byte by byte before its tag is believed.
inline constexpr std::size_t wordBytes = 8;
inline constexpr std::uint64_t lowerBits = 0x2020202020202020ULL;
inline constexpr unsigned slotBits = 5;

struct Slot {
    std::uint64_t word = 0; // 0 never matches: a matching word starts with "<"
    CalendarTag tag = CalendarTag::Other;
};

// Filled while compiling, with a multiplier that sends every tag's word to a
// slot of its own.
extern const std::uint64_t multiplier;
extern const Slot slots[1u << slotBits];

// The key at `key`, running to the last byte above 32 before `end`, is `tag`.
bool confirms(CalendarTag tag, const char* key, const char* end);

inline const char* skipBlanks(const char* p, const char* end)
{
#if defined(__SSE2__)
    // Indentation is short: one look at sixteen bytes usually finds its end.
    if (end - p >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i blank = _mm_cmpeq_epi8(_mm_min_epu8(bytes, _mm_set1_epi8(32)), bytes);
        const unsigned nonBlank = ~unsigned(_mm_movemask_epi8(blank)) & 0xFFFFu;
        if (nonBlank != 0)
            return p + __builtin_ctz(nonBlank);
        p += 16;
    }
#endif
    while (p < end && static_cast<unsigned char>(*p) <= 32)
        ++p;
    return p;
}

} // namespace tagmatch

inline CalendarTag classifyLine(const char* begin, const char* end)
{
    using namespace tagmatch;
    const char* key = skipBlanks(begin, end);
    if (end - key < std::ptrdiff_t(wordBytes) || *key != '<')
        return CalendarTag::Other;
    std::uint64_t word;
    std::memcpy(&word, key, sizeof word);
    word |= lowerBits;
    const Slot& slot = slots[(word * multiplier) >> (64 - slotBits)];
    if (slot.word != word || !confirms(slot.tag, key, end))
        return CalendarTag::Other;
    return slot.tag;
}

} // namespace dw::convert
