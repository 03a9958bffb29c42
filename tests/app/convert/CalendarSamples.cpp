// SPDX-License-Identifier: MIT
#include "tests/app/convert/CalendarSamples.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace dw::test {

std::string trickyCalendarText(unsigned seed, std::size_t lines)
{
    static const char* const tags[] = {
        "<datewright>", "<script>", "<daycal>", "</daycal>", "<weekcal>", "</weekcal>", "<monthcal>",
        "</monthcal>", "<events>", "</events>", "<daycolors>", "</daycolors>", "<eventcolor>1</eventcolor>",
        "<eventstyle>2</eventstyle>", "<eventicons>1", "<satcolor>3</satcolor>", "<event>", "</event>",
        "<datewrite>", "<scripts>", "<eventcolo", "x", "", "\x1c/events>", "<Events\x1c", "<\xc4" "aycal>"};
    static const char* const blanks[] = {"", " ", "\t", "        ", "\x01\x1f", " \x0b\x0c "};
    static const char* const ends[] = {"\r\n", "\r\n", "\n", "\r", "\n\r"};
    std::mt19937 random(seed);
    const auto pick = [&](auto& table) { return table[random() % std::size(table)]; };
    std::string text = "<datewright>\r\n<script>\r\n";
    for (std::size_t i = 0; i < lines; ++i) {
        std::string tag = pick(tags);
        for (char& c : tag)
            if (c >= 'a' && c <= 'z' && random() % 3 == 0)
                c = char(c - 'a' + 'A');
        if (random() % 9 == 0)
            tag += random() % 2 ? " id=1" : "x";
        const bool long_ = random() % 40 == 0;
        text += pick(blanks);
        if (long_)
            text += std::string(300 + random() % 3000, random() % 2 ? ' ' : '\t');
        text += tag;
        text += long_ ? std::string(200 + random() % 3000, random() % 3 ? ' ' : 'y') : pick(blanks);
        text += pick(ends);
    }
    if (random() % 2)
        text += "<satcolor>last line without an end";
    return text;
}

std::vector<std::string> sharedCaseTexts()
{
    const char* shared = std::getenv("DW_SHARED_DIR");
    const std::filesystem::path folder = std::filesystem::path(shared ? shared : DW_SHARED_DIR) / "conversion-cases";
    std::vector<std::string> texts;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".dw2")
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        texts.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return texts;
}

} // namespace dw::test
