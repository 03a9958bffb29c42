// SPDX-License-Identifier: MIT
#include "bench/convert/CalendarSynth.h"

#include <fstream>

namespace dw::bench {

namespace {

void line(std::string& out, int indent, const std::string& text)
{
    out.append(std::size_t(indent) * 2, ' ');
    out += text;
    out += "\r\n";
}

void eventsBlock(std::string& out, Layout layout, std::mt19937& random)
{
    const bool converted = layout == Layout::AlreadyConverted;
    line(out, 2, "<events>");
    if (converted)
        line(out, 4, "<EventAlign>Middle</EventAlign>");
    line(out, 4, "<EventColor>" + std::to_string(random() % 0xffffff) + "</EventColor>");
    line(out, 4, "<EventIcons>1</EventIcons>");
    if (converted)
        line(out, 4, "<EventIconHeight>2</EventIconHeight>");
    line(out, 4, "<EventStyle>" + std::to_string(random() % 4) + "</EventStyle>");
    const int events = 3 + int(random() % 12);
    for (int i = 0; i < events; ++i) {
        line(out, 4, "<event>");
        line(out, 6, "<title>Meeting number " + std::to_string(random() % 100000) + "</title>");
        line(out, 6, "<start>2004-0" + std::to_string(1 + random() % 9) + "-1" + std::to_string(random() % 10) + "T09:30</start>");
        line(out, 6, "<duration>" + std::to_string(15 * (1 + random() % 8)) + "</duration>");
        line(out, 4, "</event>");
    }
    line(out, 2, "</events>");
}

void dayColours(std::string& out, Layout layout)
{
    line(out, 2, "<DayColors>");
    for (const char* day : {"sun", "mon", "tue", "wed", "thu", "fri", "sat"})
        line(out, 4, std::string("<") + day + "color>16777215</" + day + "color>");
    if (layout == Layout::AlreadyConverted)
        line(out, 4, "<UseEventColor>No</UseEventColor>");
    line(out, 2, "</DayColors>");
}

} // namespace

CalendarSynth::CalendarSynth(Layout layout, unsigned seed) : layout_(layout), random_(seed) {}

std::string CalendarSynth::head() const
{
    std::string out;
    line(out, 0, "<datewright>");
    line(out, 0, "<version>2.10</version>");
    line(out, 0, "<script>");
    return out;
}

std::string CalendarSynth::nextBlock()
{
    static const char* const kinds[] = {"monthcal", "weekcal", "daycal"};
    const std::string kind = kinds[random_() % 3];
    std::string out;
    line(out, 1, "<" + kind + ">");
    eventsBlock(out, layout_, random_);
    if (kind == "monthcal")
        dayColours(out, layout_);
    line(out, 1, "</" + kind + ">");
    return out;
}

std::string CalendarSynth::tail() const
{
    std::string out;
    line(out, 0, "</script>");
    line(out, 0, "</datewright>");
    return out;
}

std::string synthesizeCalendar(std::size_t approximateBytes, Layout layout, unsigned seed)
{
    CalendarSynth synth(layout, seed);
    std::string out = synth.head();
    out.reserve(approximateBytes + 4096);
    while (out.size() < approximateBytes)
        out += synth.nextBlock();
    return out + synth.tail();
}

bool writeCalendarFile(const std::string& path, std::uint64_t approximateBytes, Layout layout, unsigned seed)
{
    CalendarSynth synth(layout, seed);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::string pending = synth.head();
    std::uint64_t written = 0;
    while (written + pending.size() < approximateBytes) {
        pending += synth.nextBlock();
        if (pending.size() >= (1u << 20)) {
            out.write(pending.data(), std::streamsize(pending.size()));
            written += pending.size();
            pending.clear();
        }
    }
    pending += synth.tail();
    out.write(pending.data(), std::streamsize(pending.size()));
    return bool(out.flush());
}

} // namespace dw::bench
