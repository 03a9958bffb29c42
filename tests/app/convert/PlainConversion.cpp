// SPDX-License-Identifier: MIT
#include "tests/app/convert/PlainConversion.h"

namespace dw::test {

using convert::CalendarTag;

std::vector<std::string_view> plainLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.push_back(text.substr(start, i - start));
            i += (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

std::string plainKey(std::string_view line)
{
    std::string key(line);
    for (char& c : key)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    std::size_t first = 0;
    while (first < key.size() && static_cast<unsigned char>(key[first]) <= 32)
        ++first;
    std::size_t last = key.size();
    while (last > first && static_cast<unsigned char>(key[last - 1]) <= 32)
        --last;
    return key.substr(first, last - first);
}

CalendarTag plainTag(std::string_view line)
{
    const std::string key = plainKey(line);
    const auto startsWith = [&](std::string_view tag) { return key.compare(0, tag.size(), tag) == 0; };
    if (key == "<datewright>") return CalendarTag::Root;
    if (key == "<script>") return CalendarTag::Script;
    if (key == "<daycal>") return CalendarTag::DayOpen;
    if (key == "</daycal>") return CalendarTag::DayClose;
    if (key == "<weekcal>") return CalendarTag::WeekOpen;
    if (key == "</weekcal>") return CalendarTag::WeekClose;
    if (key == "<monthcal>") return CalendarTag::MonthOpen;
    if (key == "</monthcal>") return CalendarTag::MonthClose;
    if (key == "<events>") return CalendarTag::EventsOpen;
    if (key == "</events>") return CalendarTag::EventsClose;
    if (key == "</daycolors>") return CalendarTag::DayColorsClose;
    if (startsWith("<eventcolor>")) return CalendarTag::EventColor;
    if (startsWith("<eventstyle>")) return CalendarTag::EventStyle;
    if (startsWith("<eventicons>")) return CalendarTag::EventIcons;
    if (startsWith("<satcolor>")) return CalendarTag::SatColor;
    return CalendarTag::Other;
}

bool plainConvert(std::string_view text, std::string& out)
{
    bool root = false, script = false, day = false, week = false, month = false, events = false, modified = false;
    std::string previous, current;
    std::vector<std::string> lines;
    for (std::string_view line : plainLines(text)) {
        previous = current;
        current = plainKey(line);
        const auto startsWith = [](const std::string& key, std::string_view tag) { return key.compare(0, tag.size(), tag) == 0; };
        std::string inserted;
        if (!root && current == "<datewright>")
            root = true;
        if (root && !script && current == "<script>")
            script = true;
        if (root && script) {
            if (current == "<daycal>") day = true;
            else if (current == "</daycal>") day = false;
            else if (current == "<weekcal>") week = true;
            else if (current == "</weekcal>") week = false;
            else if (current == "<monthcal>") month = true;
            else if (current == "</monthcal>") month = false;
            else if (current == "<events>") events = true;
            else if (current == "</events>") events = false;
            else if (day || week || month) {
                if (events && startsWith(current, "<eventcolor>") && previous == "<events>")
                    inserted = "        <EventAlign>Middle</EventAlign>";
                else if (events && startsWith(current, "<eventstyle>") && startsWith(previous, "<eventicons>"))
                    inserted = "        <EventIconHeight>2</EventIconHeight>";
                else if (!events && month && current == "</daycolors>" && startsWith(previous, "<satcolor>"))
                    inserted = "        <UseEventColor>No</UseEventColor>";
            }
        }
        if (!inserted.empty()) {
            lines.push_back(inserted);
            modified = true;
        }
        lines.emplace_back(line);
    }
    out.clear();
    for (const std::string& line : lines)
        out += line + "\r\n";
    return modified;
}

} // namespace dw::test
