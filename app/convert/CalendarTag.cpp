// SPDX-License-Identifier: MIT
#include "app/convert/CalendarTag.h"

#include <array>
#include <string>

namespace dw::convert {

namespace {

constexpr unsigned char lowerAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

constexpr bool isBlank(unsigned char c) { return c <= 32; }

struct TagText {
    std::string_view text; // lower case, as the key must read
    CalendarTag tag;
    bool prefixOnly;       // "starts with" rather than "equals"
};

constexpr TagText tagTexts[] = {
    {"", CalendarTag::Other, false},
    {"<datewright>", CalendarTag::Root, false},
    {"<script>", CalendarTag::Script, false},
    {"<daycal>", CalendarTag::DayOpen, false},
    {"</daycal>", CalendarTag::DayClose, false},
    {"<weekcal>", CalendarTag::WeekOpen, false},
    {"</weekcal>", CalendarTag::WeekClose, false},
    {"<monthcal>", CalendarTag::MonthOpen, false},
    {"</monthcal>", CalendarTag::MonthClose, false},
    {"<events>", CalendarTag::EventsOpen, false},
    {"</events>", CalendarTag::EventsClose, false},
    {"</daycolors>", CalendarTag::DayColorsClose, false},
    {"<eventcolor>", CalendarTag::EventColor, true},
    {"<eventstyle>", CalendarTag::EventStyle, true},
    {"<eventicons>", CalendarTag::EventIcons, true},
    {"<satcolor>", CalendarTag::SatColor, true},
};

// Indexed by tag.
static_assert(tagTexts[std::size_t(CalendarTag::SatColor)].tag == CalendarTag::SatColor);

constexpr std::uint64_t wordOf(std::string_view text)
{
    std::uint64_t word = 0;
    for (std::size_t i = 0; i < tagmatch::wordBytes; ++i)
        word |= std::uint64_t(static_cast<unsigned char>(text[i])) << (8 * i);
    return word;
}

constexpr unsigned slotOf(std::uint64_t word, std::uint64_t multiplier)
{
    return unsigned((word * multiplier) >> (64 - tagmatch::slotBits));
}

constexpr bool spreadsWithoutCollision(std::uint64_t multiplier)
{
    bool taken[1u << tagmatch::slotBits] = {};
    for (const TagText& entry : tagTexts) {
        if (entry.tag == CalendarTag::Other)
            continue;
        const unsigned slot = slotOf(wordOf(entry.text), multiplier);
        if (taken[slot])
            return false;
        taken[slot] = true;
    }
    return true;
}

constexpr std::uint64_t findMultiplier()
{
    std::uint64_t state = 0;
    for (;;) {
        state += 0x9E3779B97F4A7C15ULL;
        std::uint64_t candidate = state;
        candidate = (candidate ^ (candidate >> 30)) * 0xBF58476D1CE4E5B9ULL;
        candidate = (candidate ^ (candidate >> 27)) * 0x94D049BB133111EBULL;
        candidate ^= candidate >> 31;
        if (spreadsWithoutCollision(candidate | 1))
            return candidate | 1;
    }
}

constexpr std::uint64_t foundMultiplier = findMultiplier();

constexpr std::array<tagmatch::Slot, 1u << tagmatch::slotBits> buildSlots()
{
    std::array<tagmatch::Slot, 1u << tagmatch::slotBits> built{};
    for (const TagText& entry : tagTexts)
        if (entry.tag != CalendarTag::Other)
            built[slotOf(wordOf(entry.text), foundMultiplier)] = {wordOf(entry.text), entry.tag};
    return built;
}

constexpr std::array<tagmatch::Slot, 1u << tagmatch::slotBits> builtSlots = buildSlots();

} // namespace

namespace tagmatch {

const std::uint64_t multiplier = foundMultiplier;
const Slot slots[1u << slotBits] = {
    builtSlots[0], builtSlots[1], builtSlots[2], builtSlots[3], builtSlots[4], builtSlots[5], builtSlots[6],
    builtSlots[7], builtSlots[8], builtSlots[9], builtSlots[10], builtSlots[11], builtSlots[12], builtSlots[13],
    builtSlots[14], builtSlots[15], builtSlots[16], builtSlots[17], builtSlots[18], builtSlots[19], builtSlots[20],
    builtSlots[21], builtSlots[22], builtSlots[23], builtSlots[24], builtSlots[25], builtSlots[26], builtSlots[27],
    builtSlots[28], builtSlots[29], builtSlots[30], builtSlots[31],
};

bool confirms(CalendarTag tag, const char* key, const char* end)
{
    const TagText& entry = tagTexts[std::size_t(tag)];
    const std::size_t length = entry.text.size();
    if (std::size_t(end - key) < length)
        return false;
    for (std::size_t i = 0; i < length; ++i)
        if (lowerAscii(static_cast<unsigned char>(key[i])) != static_cast<unsigned char>(entry.text[i]))
            return false;
    if (entry.prefixOnly)
        return true; // every tag text ends in ">", so the key reaches at least this far
    for (const char* p = key + length; p < end; ++p)
        if (!isBlank(static_cast<unsigned char>(*p)))
            return false;
    return true;
}

} // namespace tagmatch

std::string_view trimmedKey(std::string_view line)
{
    std::size_t first = 0;
    std::size_t last = line.size();
    while (first < last && isBlank(static_cast<unsigned char>(line[first])))
        ++first;
    while (last > first && isBlank(static_cast<unsigned char>(line[last - 1])))
        --last;
    return line.substr(first, last - first);
}

CalendarTag classifyKeyStart(std::string_view keyStart, std::uint64_t keyLength)
{
    if (keyLength <= keyStart.size())
        return classifyLine(keyStart.substr(0, std::size_t(keyLength)));
    // A key longer than any tag text equals none of them, whatever its end;
    // a byte above 32 after its first bytes says so without the rest.
    std::string head(keyStart.substr(0, longestTagText + 1));
    head += 'x';
    return classifyLine(head);
}

} // namespace dw::convert
