// SPDX-License-Identifier: MIT
// Writes a corpus of calendars for timing dw2convert on real files:
//   dw-make-corpus FOLDER COUNT BYTES_EACH old|converted [tidy|varied]
// A hundred calendars go to a folder, as calendars tend to be kept.

#include "bench/convert/CalendarSynth.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 5 && argc != 6) {
        std::cerr << "usage: dw-make-corpus FOLDER COUNT BYTES_EACH old|converted [tidy|varied]\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const long count = std::strtol(argv[2], nullptr, 10);
    const unsigned long long bytes = std::strtoull(argv[3], nullptr, 10);
    const auto layout = std::string(argv[4]) == "old" ? dw::bench::Layout::NeedsConversion
                                                      : dw::bench::Layout::AlreadyConverted;
    const auto hand = argc == 6 && std::string(argv[5]) == "varied" ? dw::bench::Hand::Varied : dw::bench::Hand::Tidy;
    for (long i = 0; i < count; ++i) {
        const std::filesystem::path sub = folder / ("year-" + std::to_string(i / 100));
        std::filesystem::create_directories(sub);
        const std::string path = (sub / ("calendar-" + std::to_string(i) + ".dw2")).string();
        if (!dw::bench::writeCalendarFile(path, bytes, layout, unsigned(i), hand)) {
            std::cerr << "dw-make-corpus: cannot write " << path << '\n';
            return 1;
        }
    }
    return 0;
}
