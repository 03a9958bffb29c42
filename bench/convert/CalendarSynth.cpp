// SPDX-License-Identifier: MIT
#include "bench/convert/CalendarSynth.h"

#include <fstream>

namespace dw::bench {

namespace {

const char* const titles[] = {"Gym", "Call", "Dentist", "Lunch", "Team", "Rent", "Bus", "Mum"};

} // namespace

CalendarSynth::CalendarSynth(Layout layout, unsigned seed, Hand hand) : layout_(layout), hand_(hand), random_(seed)
{
    if (hand_ == Hand::Varied && random_() % 2)
        lineEnd_ = "\n";
}

void CalendarSynth::line(std::string& out, int depth, const std::string& text)
{
    if (hand_ == Hand::Tidy) {
        out.append(std::size_t(depth) * 2, ' ');
        out += text;
        out += lineEnd_;
        return;
    }
    // Tabs mostly, spaces now and then, and a blank or two left at the end
    // of one line in three.
    if (random_() % 4)
        out.append(std::size_t(depth), '\t');
    else
        out.append(std::size_t(depth) * (1 + random_() % 4), ' ');
    out += text;
    if (random_() % 3 == 0)
        out += random_() % 2 ? " " : " \t ";
    out += lineEnd_;
}

// A tag name as the hand writes it: the tidy one in the case given, the
// other in lower, upper or any mixed case.
std::string CalendarSynth::tag(const std::string& name)
{
    if (hand_ == Hand::Tidy)
        return name;
    std::string written = name;
    const unsigned style = random_() % 4;
    for (std::size_t i = 0; i < written.size(); ++i) {
        char& c = written[i];
        if (c < 'a' || c > 'z')
            continue;
        const bool upper = style == 0 || (style == 1 && i == 0) || (style == 2 && random_() % 2);
        if (upper)
            c = char(c - 'a' + 'A');
    }
    return written;
}

std::string CalendarSynth::element(const std::string& name, const std::string& value)
{
    return "<" + tag(name) + ">" + value + "</" + tag(name) + ">";
}

std::string CalendarSynth::head()
{
    std::string out;
    line(out, 0, "<" + tag("datewright") + ">");
    line(out, 0, element("version", "2.10"));
    line(out, 0, "<" + tag("script") + ">");
    return out;
}

void CalendarSynth::eventsBlock(std::string& out)
{
    const bool converted = layout_ == Layout::AlreadyConverted;
    line(out, 2, "<" + tag("events") + ">");
    if (converted)
        line(out, 4, "<EventAlign>Middle</EventAlign>");
    line(out, 4, element("eventcolor", std::to_string(random_() % 0xffffff)));
    line(out, 4, element("eventicons", "1"));
    if (converted)
        line(out, 4, "<EventIconHeight>2</EventIconHeight>");
    line(out, 4, element("eventstyle", std::to_string(random_() % 4)));
    const int events = 3 + int(random_() % 12);
    for (int i = 0; i < events; ++i) {
        line(out, 4, "<" + tag("event") + ">");
        if (hand_ == Hand::Tidy) {
            line(out, 6, "<title>Meeting number " + std::to_string(random_() % 100000) + "</title>");
            line(out, 6, "<start>2004-0" + std::to_string(1 + random_() % 9) + "-1" + std::to_string(random_() % 10)
                             + "T09:30</start>");
            line(out, 6, "<duration>" + std::to_string(15 * (1 + random_() % 8)) + "</duration>");
        } else {
            line(out, 6, element("title", titles[random_() % std::size(titles)]));
            line(out, 6, element("day", std::to_string(1 + random_() % 28)));
            line(out, 6, element("at", std::to_string(7 + random_() % 12) + ":30"));
            line(out, 6, element("min", std::to_string(15 * (1 + random_() % 8))));
        }
        line(out, 4, "</" + tag("event") + ">");
    }
    line(out, 2, "</" + tag("events") + ">");
}

void CalendarSynth::dayColours(std::string& out)
{
    line(out, 2, "<" + tag("DayColors") + ">");
    for (const char* day : {"sun", "mon", "tue", "wed", "thu", "fri", "sat"})
        line(out, 4, element(std::string(day) + "color", "16777215"));
    if (layout_ == Layout::AlreadyConverted)
        line(out, 4, "<UseEventColor>No</UseEventColor>");
    line(out, 2, "</" + tag("DayColors") + ">");
}

std::string CalendarSynth::nextBlock()
{
    static const char* const kinds[] = {"monthcal", "weekcal", "daycal"};
    const std::string kind = kinds[random_() % 3];
    std::string out;
    line(out, 1, "<" + tag(kind) + ">");
    eventsBlock(out);
    if (kind == "monthcal")
        dayColours(out);
    line(out, 1, "</" + tag(kind) + ">");
    return out;
}

std::string CalendarSynth::tail()
{
    std::string out;
    line(out, 0, "</" + tag("script") + ">");
    line(out, 0, "</" + tag("datewright") + ">");
    return out;
}

std::string synthesizeCalendar(std::size_t approximateBytes, Layout layout, unsigned seed, Hand hand)
{
    CalendarSynth synth(layout, seed, hand);
    std::string out = synth.head();
    out.reserve(approximateBytes + 4096);
    while (out.size() < approximateBytes)
        out += synth.nextBlock();
    return out + synth.tail();
}

bool writeCalendarFile(const std::string& path, std::uint64_t approximateBytes, Layout layout, unsigned seed, Hand hand)
{
    CalendarSynth synth(layout, seed, hand);
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
