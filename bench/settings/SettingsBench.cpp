// SPDX-License-Identifier: MIT
// What the settings store costs on files built to be hard for it (a key
// line of 40 KB, 20,000 keys and their removals, lookups and a change after
// them) and on a varied export (UTF-16, CRLF, every kind of value, deep and
// wide keys), each beside reading an ordinary settings file of the same
// size once, side by side in one run. Each piece of work runs in a child
// process stopped after --limit seconds, so work that does not end shows
// as such, and the child's peak memory is the work's own.
//
// Prints, per case, the medians of interleaved runs and their ratios.
//
//   dw_bench_settings [--runs N] [--limit SECONDS] [--dir PATH]

#include "bench/support/BenchArguments.h"
#include "bench/support/TimedChild.h"
#include "platform/settings/RegistryFile.h"
#include "platform/settings/RegistryStore.h"
#include "platform/settings/Utf16Text.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace dw::platform;

namespace {

const std::string kHeader = "Windows Registry Editor Version 5.00\n\n";
const std::string kSetting = "[Software\\Quillfen\\Datewright 2]\n\"DefaultCalendarDir\"=\"/home/ann/Calendars\"\n\n";

std::string keyLineOf(std::size_t bytes)
{
    std::string key = "[Software\\Deep";
    while (key.size() + 3 < bytes)
        key += "\\k";
    return kHeader + key + "]\n\"v\"=\"1\"\n";
}

std::string manyKeyName(std::size_t i)
{
    return "Software\\Bench\\Group " + std::to_string(i % 97) + "\\Key " + std::to_string(i);
}

// `count` keys with a value each, then a removal of each.
std::string keysThenRemovals(std::size_t count)
{
    std::string text = kHeader + kSetting;
    for (std::size_t i = 0; i < count; ++i)
        text += "[" + manyKeyName(i) + "]\n\"v\"=\"" + std::to_string(i) + "\"\n";
    for (std::size_t i = 0; i < count; ++i)
        text += "[-" + manyKeyName(i) + "]\n";
    return text;
}

// An export as the registry editor saves one: UTF-16 with a byte order
// mark, CRLF, comments, keys of many depths, values of every kind, long
// byte lists over several lines.
std::string variedExport(std::size_t keys)
{
    std::string text = "Windows Registry Editor Version 5.00\r\n\r\n; exported\r\n";
    for (std::size_t i = 0; i < keys; ++i) {
        std::string key = "HKEY_CURRENT_USER\\Software\\Vendor " + std::to_string(i % 31);
        for (std::size_t depth = 0; depth < i % 7; ++depth)
            key += "\\Sub Key " + std::to_string(depth);
        text += "\r\n[" + key + "\\Item " + std::to_string(i) + "]\r\n";
        text += "@=\"K\xC3\xA5lender \\\"" + std::to_string(i) + "\\\" C:\\\\Users\\\\ann\"\r\n";
        text += "\"Count\"=dword:" + std::string(8 - std::to_string(i % 10).size(), '0') + std::to_string(i % 10) + "\r\n";
        text += "\"Path\"=hex(2):25,00,55,00,53,00,45,00,52,00,50,00,52,00,4f,00,46,00,49,00,4c,00,45,00,25,00,\\\r\n"
                "  5c,00,43,00,61,00,6c,00,00,00\r\n";
        std::string blob = "\"Blob\"=hex:";
        for (std::size_t byte = 0; byte < 60; ++byte)
            blob += (byte % 20 == 19 ? "0f,\\\r\n  " : "0f,");
        text += blob + "00\r\n";
        text += "\"List\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n";
        if (i % 5 == 0)
            text += "\"Gone\"=-\r\n";
    }
    return "\xFF\xFE" + utf16LeFromUtf8(text);
}

// An ordinary file of about `bytes` bytes: short keys with a few values.
std::string ordinaryOf(std::size_t bytes)
{
    std::string text = kHeader + kSetting;
    for (std::size_t i = 0; text.size() < bytes; ++i)
        text += "[Software\\Vendor\\App " + std::to_string(i) + "]\n\"Name\"=\"value " + std::to_string(i)
            + "\"\n\"Size\"=dword:0000002a\n\n";
    return text;
}

RegistryFile read(const std::string& bytes)
{
    return RegistryFile::fromBytes(bytes, "bench.reg");
}

void lookUp(const RegistryFile& file, std::size_t lookups, std::size_t keys)
{
    std::size_t found = 0;
    for (std::size_t i = 0; i < lookups; ++i) {
        const std::size_t key = (i * 7919) % keys;
        found += file.hasKey(manyKeyName(key)) + bool(file.value(manyKeyName(key), "v"))
            + bool(file.value("Software\\Quillfen\\Datewright 2", "DefaultCalendarDir"));
    }
    if (found == std::size_t(-1))
        std::puts("");
}

struct Case {
    std::string what;
    std::string bytes;
    std::function<void(const std::string&)> work;
};

void writeFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

// A start of the window on the file: the key made when missing, the value read.
void startOn(const fs::path& path)
{
    RegistryStore store(path.string());
    store.openKey("Software\\Quillfen", true);
    store.readValue("Software\\Quillfen\\Datewright 2", "DefaultCalendarDir");
}

std::vector<Case> cases(const fs::path& dir)
{
    const std::string removals = keysThenRemovals(20000);
    return {
        {"a key line of 40 KB", keyLineOf(40000),
         [](const std::string& bytes) { read(bytes).value("Software\\Deep\\k", "v"); }},
        {"20,000 keys, then their removals", removals,
         [](const std::string& bytes) { read(bytes).value(manyKeyName(19999), "v"); }},
        {"1,000 lookups after them", removals,
         [](const std::string& bytes) { lookUp(read(bytes), 1000, 20000); }},
        {"a value set after them", removals,
         [](const std::string& bytes) {
             RegistryFile file = read(bytes);
             file.setValue("Software\\Bench\\New", "v", RegistryValue::string("x"));
             file.bytes();
         }},
        {"a start on their file (read from disk)", removals,
         [dir](const std::string&) { startOn(dir / "removals.reg"); }},
        {"an export of 4,000 keys, UTF-16, CRLF", variedExport(4000),
         [](const std::string& bytes) { lookUp(read(bytes), 100, 4000); }},
    };
}

void compare(const Case& item, int runs, unsigned limitSeconds)
{
    const std::string ordinary = ordinaryOf(item.bytes.size());
    const std::string what = item.what + " (" + std::to_string(item.bytes.size() / 1000) + " KB)";
    bench::printSideBySide(what, bench::runSideBySide([&] { item.work(item.bytes); }, [&] { read(ordinary); }, runs,
                                                      limitSeconds));
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = bench::argument(argc, argv, "--runs", 5);
    const auto limitSeconds = unsigned(bench::argument(argc, argv, "--limit", 30));
    const char* dirArgument = bench::textArgument(argc, argv, "--dir");
    const fs::path dir = dirArgument ? fs::path(dirArgument) : fs::temp_directory_path() / "dw-settings-bench";
    fs::create_directories(dir);
    writeFile(dir / "removals.reg", keysThenRemovals(20000));
    std::printf("median of %d interleaved runs each, beside reading an ordinary settings file of the same size "
                "once; work is stopped after %u s\n",
                runs, limitSeconds);
    std::fflush(stdout);
    for (const Case& item : cases(dir))
        compare(item, runs, limitSeconds);
    fs::remove_all(dir);
    return 0;
}
