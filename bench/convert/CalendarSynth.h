// SPDX-License-Identifier: MIT
#pragma once
// Makes calendar text of a given size for the benchmarks: month, week and day
// calendars with events and day colours, either in the old layout (every
// block needs its 2.20 lines) or already converted.
//
// Two hands write them. The tidy one writes every tag in one case, indents
// with spaces and ends lines with CR LF, as the benchmarks always did. The
// other writes as people and old tools did: tags in any case, indentation
// with tabs or spaces, blanks left at line ends, short lines (24 bytes on
// average) and LF or CR LF ends, which costs a scan more per byte.

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>

namespace dw::bench {

enum class Layout { NeedsConversion, AlreadyConverted };
enum class Hand { Tidy, Varied };

// Hands out a calendar a block at a time, so that one of any size can be
// written without holding it.
class CalendarSynth {
public:
    CalendarSynth(Layout layout, unsigned seed, Hand hand = Hand::Tidy);
    std::string head();
    // One month, week or day calendar.
    std::string nextBlock();
    std::string tail();

private:
    void line(std::string& out, int depth, const std::string& text);
    std::string tag(const std::string& name);
    std::string element(const std::string& name, const std::string& value);
    void eventsBlock(std::string& out);
    void dayColours(std::string& out);

    Layout layout_;
    Hand hand_;
    std::mt19937 random_;
    const char* lineEnd_ = "\r\n";
};

std::string synthesizeCalendar(std::size_t approximateBytes, Layout layout, unsigned seed, Hand hand = Hand::Tidy);

// Writes a calendar of about `approximateBytes` to `path`; false on failure.
bool writeCalendarFile(const std::string& path, std::uint64_t approximateBytes, Layout layout, unsigned seed,
                       Hand hand = Hand::Tidy);

} // namespace dw::bench
