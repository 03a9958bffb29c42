#include "app/convert/CalendarTag.h"

namespace dw::convert {

namespace {

constexpr unsigned char lowerAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

// `key` lowered equals the lower-case `tag`, or starts with it.
bool matchesLower(std::string_view key, std::string_view tag, bool prefixOnly)
{
    if (key.size() < tag.size() || (!prefixOnly && key.size() != tag.size()))
        return false;
    for (std::size_t i = 0; i < tag.size(); ++i)
        if (lowerAscii(static_cast<unsigned char>(key[i])) != static_cast<unsigned char>(tag[i]))
            return false;
    return true;
}

bool equals(std::string_view key, std::string_view tag) { return matchesLower(key, tag, false); }
bool startsWith(std::string_view key, std::string_view tag) { return matchesLower(key, tag, true); }

CalendarTag classifyD(std::string_view key)
{
    if (equals(key, "<datewright>")) return CalendarTag::Root;
    if (equals(key, "<daycal>")) return CalendarTag::DayOpen;
    return CalendarTag::Other;
}

CalendarTag classifyS(std::string_view key)
{
    if (equals(key, "<script>")) return CalendarTag::Script;
    if (startsWith(key, "<satcolor>")) return CalendarTag::SatColor;
    return CalendarTag::Other;
}

CalendarTag classifyE(std::string_view key)
{
    if (equals(key, "<events>")) return CalendarTag::EventsOpen;
    if (startsWith(key, "<eventcolor>")) return CalendarTag::EventColor;
    if (startsWith(key, "<eventstyle>")) return CalendarTag::EventStyle;
    if (startsWith(key, "<eventicons>")) return CalendarTag::EventIcons;
    return CalendarTag::Other;
}

CalendarTag classifyClosing(std::string_view key)
{
    if (equals(key, "</daycal>")) return CalendarTag::DayClose;
    if (equals(key, "</weekcal>")) return CalendarTag::WeekClose;
    if (equals(key, "</monthcal>")) return CalendarTag::MonthClose;
    if (equals(key, "</events>")) return CalendarTag::EventsClose;
    if (equals(key, "</daycolors>")) return CalendarTag::DayColorsClose;
    return CalendarTag::Other;
}

} // namespace

std::string_view trimmedKey(std::string_view line)
{
    std::size_t first = 0;
    std::size_t last = line.size();
    while (first < last && static_cast<unsigned char>(line[first]) <= 32)
        ++first;
    while (last > first && static_cast<unsigned char>(line[last - 1]) <= 32)
        --last;
    return line.substr(first, last - first);
}

CalendarTag classifyLine(std::string_view line)
{
    // Most lines are no tag we look for: they are turned away on their first
    // bytes, before the end of the line is trimmed.
    const char* p = line.data();
    const char* end = p + line.size();
    while (p < end && static_cast<unsigned char>(*p) <= 32)
        ++p;
    if (end - p < 8 || p[0] != '<')
        return CalendarTag::Other;
    const char second = static_cast<char>(lowerAscii(static_cast<unsigned char>(p[1])));
    if (second != 'd' && second != 's' && second != 'e' && second != 'w' && second != 'm' && second != '/')
        return CalendarTag::Other;
    while (end > p && static_cast<unsigned char>(end[-1]) <= 32)
        --end;
    const std::string_view key(p, std::size_t(end - p));
    // The shortest tag tested, "<script>", "<events>" and "<daycal>", has 8 bytes.
    if (key.size() < 8)
        return CalendarTag::Other;
    switch (second) {
    case 'd': return classifyD(key);
    case 's': return classifyS(key);
    case 'e': return classifyE(key);
    case 'w': return equals(key, "<weekcal>") ? CalendarTag::WeekOpen : CalendarTag::Other;
    case 'm': return equals(key, "<monthcal>") ? CalendarTag::MonthOpen : CalendarTag::Other;
    case '/': return classifyClosing(key);
    default: return CalendarTag::Other;
    }
}

} // namespace dw::convert
