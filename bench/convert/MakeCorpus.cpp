// Writes a corpus of calendars for timing dw2convert on real files:
//   dw-make-corpus FOLDER COUNT BYTES_EACH old|converted

#include "bench/convert/CalendarSynth.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::cerr << "usage: dw-make-corpus FOLDER COUNT BYTES_EACH old|converted\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const long count = std::strtol(argv[2], nullptr, 10);
    const long bytes = std::strtol(argv[3], nullptr, 10);
    const auto layout = std::string(argv[4]) == "old" ? dw::bench::Layout::NeedsConversion
                                                      : dw::bench::Layout::AlreadyConverted;
    std::filesystem::create_directories(folder);
    for (long i = 0; i < count; ++i) {
        // A hundred files to a folder, as calendars tend to be kept.
        const std::filesystem::path sub = folder / ("year-" + std::to_string(i / 100));
        std::filesystem::create_directories(sub);
        const std::string text = dw::bench::synthesizeCalendar(std::size_t(bytes), layout, unsigned(i));
        std::ofstream out(sub / ("calendar-" + std::to_string(i) + ".dw2"), std::ios::binary);
        out.write(text.data(), std::streamsize(text.size()));
        if (!out) {
            std::cerr << "dw-make-corpus: cannot write into " << sub << '\n';
            return 1;
        }
    }
    return 0;
}
