// SPDX-License-Identifier: MIT
#include "ListCorpus.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string NameOf(long i)
{
    char number[24];
    std::snprintf(number, sizeof number, "%ld", i);
    const std::string n = number;
    switch (i % 10) {
    case 0: return "calendar" + n + ".dw2";
    case 1: return "Report " + n + " (final).PDF";
    case 2: return "\xC3\x84\xC3\x96\xC3\x9C stra\xC3\x9F" "e " + n + ".txt";
    case 3: return "a" + n;
    case 4: return "a-rather-long-name-that-goes-on-and-on-as-some-exported-files-do-" + std::string(90, 'x') + n + ".tar.gz";
    case 5: return "IMG_" + n + ".JPG";
    case 6: return "notes." + n + ".md";
    case 7: return "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E" + n + ".odt";
    case 8: return "bad\xFF\xFE" + n + ".bin"; // no UTF-8
    default: return "MiXeD CaSe " + n + ".Dw2";
    }
}

long CountEntries(const fs::path& folder)
{
    std::error_code error;
    long count = 0;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        ++count;
    return count;
}

} // namespace

long MakeListCorpus(const std::string& folder, long count)
{
    const fs::path root(folder);
    fs::create_directories(root);
    if (CountEntries(root) >= count)
        return CountEntries(root);
    const auto now = fs::file_time_type::clock::now();
    for (long i = 0; i < count; ++i) {
        const fs::path file = root / NameOf(i);
        std::ofstream(file).put('x');
        std::error_code error;
        fs::resize_file(file, std::uintmax_t((i * 7919) % 5000000), error);
        fs::last_write_time(file, now - std::chrono::seconds((i * 104729) % (365L * 86400)), error);
    }
    return CountEntries(root);
}
