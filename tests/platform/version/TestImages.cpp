// SPDX-License-Identifier: MIT
#include "TestImages.h"

#include <fstream>

namespace dw::test {

void put16(Bytes& out, std::size_t at, std::uint16_t value)
{
    if (out.size() < at + 2)
        out.resize(at + 2);
    out[at] = std::uint8_t(value & 0xFF);
    out[at + 1] = std::uint8_t(value >> 8);
}

void put32(Bytes& out, std::size_t at, std::uint32_t value)
{
    put16(out, at, std::uint16_t(value & 0xFFFF));
    put16(out, at + 2, std::uint16_t(value >> 16));
}

void put64(Bytes& out, std::size_t at, std::uint64_t value)
{
    put32(out, at, std::uint32_t(value));
    put32(out, at + 4, std::uint32_t(value >> 32));
}

std::uint32_t get32(const Bytes& bytes, std::size_t at)
{
    return std::uint32_t(bytes[at]) | (std::uint32_t(bytes[at + 1]) << 8) | (std::uint32_t(bytes[at + 2]) << 16)
        | (std::uint32_t(bytes[at + 3]) << 24);
}

namespace {

void putAscii16(Bytes& out, std::size_t at, const char* text)
{
    std::size_t i = 0;
    for (; text[i]; ++i)
        put16(out, at + 2 * i, std::uint16_t(static_cast<unsigned char>(text[i])));
    put16(out, at + 2 * i, 0);
}

void putNodeHeader(Bytes& out, std::size_t at, std::uint16_t length, std::uint16_t valueLength, std::uint16_t type,
                   const char* key)
{
    put16(out, at, length);
    put16(out, at + 2, valueLength);
    put16(out, at + 4, type);
    putAscii16(out, at + 6, key);
}

// Big-endian writers for the ELF images of the other byte order.
void put16be(Bytes& out, std::size_t at, std::uint16_t value)
{
    if (out.size() < at + 2)
        out.resize(at + 2);
    out[at] = std::uint8_t(value >> 8);
    out[at + 1] = std::uint8_t(value & 0xFF);
}

struct ElfWriter {
    bool is64;
    bool bigEndian;
    Bytes& out;

    void u16(std::size_t at, std::uint16_t v) { bigEndian ? put16be(out, at, v) : put16(out, at, v); }
    void u32(std::size_t at, std::uint32_t v)
    {
        if (bigEndian) {
            put16be(out, at, std::uint16_t(v >> 16));
            put16be(out, at + 2, std::uint16_t(v & 0xFFFF));
        } else {
            put32(out, at, v);
        }
    }
    void word(std::size_t at, std::uint64_t v)
    {
        if (!is64) {
            u32(at, std::uint32_t(v));
        } else if (bigEndian) {
            u32(at, std::uint32_t(v >> 32));
            u32(at + 4, std::uint32_t(v));
        } else {
            put64(out, at, v);
        }
    }
};

} // namespace

Bytes HandMadeBlock()
{
    Bytes b(268, 0);
    // Root: header, key to 38, padding to 40, fixed information 40..92.
    putNodeHeader(b, 0, 268, 52, 0, "VS_VERSION_INFO");
    const std::uint32_t fixed[13] = {0xFEEF04BD, 0x00010000, 0x00010002, 0x00030004, 0x00050006, 0x00070008,
                                     0x3F, 0, 0x00040004, 1, 0, 0, 0};
    for (int i = 0; i < 13; ++i)
        put32(b, 40 + 4 * std::size_t(i), fixed[i]);
    // StringFileInfo 92..200, its table 128..200, one string 152..200.
    putNodeHeader(b, 92, 108, 0, 1, "StringFileInfo");
    putNodeHeader(b, 128, 72, 0, 1, "040904b0");
    putNodeHeader(b, 152, 48, 8, 1, "FileVersion");
    putAscii16(b, 184, "1.2.3.4");
    // VarFileInfo 200..268, Translation 232..268 with its value at 264.
    putNodeHeader(b, 200, 68, 0, 1, "VarFileInfo");
    putNodeHeader(b, 232, 36, 4, 0, "Translation");
    put16(b, 264, 0x0409);
    put16(b, 266, 0x04B0);
    return b;
}

Bytes MakePe(const Bytes& block, PeOptions options)
{
    using L = PeLayout;
    Bytes pe(L::kBlock + block.size(), 0);
    pe[0] = 'M';
    pe[1] = 'Z';
    put32(pe, 0x3C, std::uint32_t(L::kPeHeader));
    pe[L::kPeHeader] = 'P';
    pe[L::kPeHeader + 1] = 'E';

    const std::uint16_t optionalSize = options.pe32Plus ? 240 : 224;
    put16(pe, L::kCoff, options.pe32Plus ? 0x8664 : 0x014C);
    put16(pe, L::kCoff + 2, 1); // one section
    put16(pe, L::kCoff + 16, optionalSize);
    put16(pe, L::kCoff + 18, 0x0102);

    put16(pe, L::kOptional, options.pe32Plus ? 0x20B : 0x10B);
    const std::size_t countAt = L::kOptional + (options.pe32Plus ? 108 : 92);
    put32(pe, countAt, 16);
    const std::uint32_t rsrcSize = std::uint32_t(L::kBlock - L::kRsrcFile + block.size());
    if (options.withResources) {
        put32(pe, countAt + 4 + 2 * 8, L::kRsrcRva);
        put32(pe, countAt + 4 + 2 * 8 + 4, rsrcSize);
    }

    const std::size_t section = L::sectionTable(options.pe32Plus);
    const char name[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
    for (int i = 0; i < 8; ++i)
        pe[section + std::size_t(i)] = std::uint8_t(name[i]);
    put32(pe, section + 8, rsrcSize);
    put32(pe, section + 12, L::kRsrcRva);
    put32(pe, section + 16, rsrcSize);
    put32(pe, section + 20, std::uint32_t(L::kRsrcFile));

    // Root directory: an icon type (3) and the version type (16), by id.
    put16(pe, L::kTypeDir + 14, options.withVersion ? 2 : 1);
    put32(pe, L::kTypeDir + 16, 3);
    put32(pe, L::kTypeDir + 20, 0x80000000u | 0x38); // an empty-looking directory is fine for icons
    if (options.withVersion) {
        put32(pe, L::kTypeDir + 24, 16);
        put32(pe, L::kTypeDir + 28, 0x80000000u | std::uint32_t(L::kNameDir - L::kRsrcFile));
    }
    // Name directory: id 1.
    put16(pe, L::kNameDir + 14, 1);
    put32(pe, L::kNameDir + 16, 1);
    put32(pe, L::kNameDir + 20, 0x80000000u | std::uint32_t(L::kLangDir - L::kRsrcFile));
    // Language directory: 0x409, pointing at the data entry.
    put16(pe, L::kLangDir + 14, 1);
    put32(pe, L::kLangDir + 16, 0x0409);
    put32(pe, L::kLangDir + 20, std::uint32_t(L::kDataEntry - L::kRsrcFile));
    // Data entry: RVA and size of the block.
    put32(pe, L::kDataEntry, L::kRsrcRva + std::uint32_t(L::kBlock - L::kRsrcFile));
    put32(pe, L::kDataEntry + 4, std::uint32_t(block.size()));

    std::copy(block.begin(), block.end(), pe.begin() + std::ptrdiff_t(L::kBlock));
    return pe;
}

Bytes MakeElf(const Bytes& contents, ElfOptions options)
{
    Bytes elf(options.is64 ? 64 : 52, 0);
    ElfWriter w{options.is64, options.bigEndian, elf};
    elf[0] = 0x7F;
    elf[1] = 'E';
    elf[2] = 'L';
    elf[3] = 'F';
    elf[4] = options.is64 ? 2 : 1;
    elf[5] = options.bigEndian ? 2 : 1;
    elf[6] = 1;

    // Section-name table: "\0.text\0<name>\0.shstrtab\0".
    std::string names(1, '\0');
    const std::uint32_t textName = std::uint32_t(names.size());
    names += ".text";
    names += '\0';
    const std::uint32_t sectionName = std::uint32_t(names.size());
    names += options.sectionName;
    names += '\0';
    const std::uint32_t tableName = std::uint32_t(names.size());
    names += ".shstrtab";
    names += '\0';

    const std::size_t textAt = elf.size();
    elf.insert(elf.end(), {0x90, 0x90, 0x90, 0xC3});
    const std::size_t namesAt = elf.size();
    elf.insert(elf.end(), names.begin(), names.end());
    while (elf.size() % 4)
        elf.push_back(0);
    const std::size_t contentsAt = elf.size();
    elf.insert(elf.end(), contents.begin(), contents.end());
    while (elf.size() % 8)
        elf.push_back(0);
    const std::size_t tableAt = elf.size();
    const std::size_t entrySize = options.is64 ? 64 : 40;
    elf.resize(tableAt + 4 * entrySize, 0);

    auto section = [&](std::size_t index, std::uint32_t name, std::uint32_t type, std::uint64_t offset,
                       std::uint64_t size) {
        const std::size_t at = tableAt + index * entrySize;
        w.u32(at, name);
        w.u32(at + 4, type);
        w.word(at + (options.is64 ? 0x18 : 0x10), offset);
        w.word(at + (options.is64 ? 0x20 : 0x14), size);
    };
    section(1, textName, 1, textAt, 4);
    section(2, sectionName, 1, contentsAt, contents.size());
    section(3, tableName, 3, namesAt, names.size());

    w.u16(16, 2); // ET_EXEC
    w.u16(18, options.bigEndian ? 0x14 : 0x3E);
    w.u32(20, 1);
    if (options.is64) {
        w.word(0x28, tableAt);
        w.u16(0x34, 64);
        w.u16(0x3A, 64);
        w.u16(0x3C, 4);
        w.u16(0x3E, 3);
    } else {
        w.word(0x20, tableAt);
        w.u16(0x28, 52);
        w.u16(0x2E, 40);
        w.u16(0x30, 4);
        w.u16(0x32, 3);
    }
    return elf;
}

std::size_t ElfSectionHeaderTable(const Bytes& elf, bool is64)
{
    return is64 ? std::size_t(get32(elf, 0x28)) : std::size_t(get32(elf, 0x20));
}

bool WriteFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

} // namespace dw::test
