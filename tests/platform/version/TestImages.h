// SPDX-License-Identifier: MIT
#pragma once
// Small PE and ELF images built byte by byte, and version blocks laid out by
// hand, for the version-information tests.

#include <cstdint>
#include <string>
#include <vector>

namespace dw::test {

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& out, std::size_t at, std::uint16_t value);
void put32(Bytes& out, std::size_t at, std::uint32_t value);
void put64(Bytes& out, std::size_t at, std::uint64_t value);
std::uint32_t get32(const Bytes& bytes, std::size_t at);

// Layout of the PE images MakePe writes (file offsets).
struct PeLayout {
    static constexpr std::size_t kPeHeader = 0x40;            // "PE\0\0"
    static constexpr std::size_t kCoff = 0x44;                // COFF header
    static constexpr std::size_t kOptional = 0x58;            // optional header
    static constexpr std::size_t kRsrcFile = 0x200;           // .rsrc raw data
    static constexpr std::uint32_t kRsrcRva = 0x1000;
    static constexpr std::size_t kTypeDir = kRsrcFile;        // root directory
    static constexpr std::size_t kNameDir = kRsrcFile + 0x20; // under the version type
    static constexpr std::size_t kLangDir = kRsrcFile + 0x38;
    static constexpr std::size_t kDataEntry = kRsrcFile + 0x50;
    static constexpr std::size_t kBlock = kRsrcFile + 0x60;   // the version block
    static std::size_t sectionTable(bool pe32Plus) { return kOptional + (pe32Plus ? 240 : 224); }
};

struct PeOptions {
    bool pe32Plus = false;
    bool withResources = true;  // a resource directory at all
    bool withVersion = true;    // a version resource (type 16) in it
};

// A PE file whose resources hold an icon type entry (3) and, when asked, a
// version resource holding `block`.
Bytes MakePe(const Bytes& block, PeOptions options = {});

struct ElfOptions {
    bool is64 = true;
    bool bigEndian = false;
    std::string sectionName = ".dwversion";
};

// An ELF file with the sections: null, `.text` (4 bytes), the named section
// holding `contents`, and the section-name table. Offsets of the section
// header table and of the named section's header follow.
Bytes MakeElf(const Bytes& contents, ElfOptions options = {});
std::size_t ElfSectionHeaderTable(const Bytes& elf, bool is64);

// A hand-made version block, written field by field without the library's
// writer: fixed information for 1.2.3.4 / 5.6.7.8, one string table
// "040904b0" with FileVersion "1.2.3.4" and one translation 0x0409/0x04b0.
Bytes HandMadeBlock();

// Writes `bytes` to `path`; false on failure.
bool WriteFile(const std::string& path, const Bytes& bytes);

} // namespace dw::test
