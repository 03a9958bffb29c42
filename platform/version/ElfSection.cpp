// SPDX-License-Identifier: MIT
#include "ElfSection.h"

#include <array>
#include <optional>

namespace dw::platform {

namespace {

constexpr std::uint32_t kShtNobits = 8;
constexpr std::uint16_t kShnXindex = 0xFFFF;
constexpr std::uint64_t kMaxSectionCount = 0x10000;
constexpr std::uint64_t kMaxNameTable = 16u << 20;

struct SectionHeader {
    std::uint32_t name = 0;
    std::uint32_t type = 0;
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    std::uint32_t link = 0;
};

class ElfReader {
public:
    explicit ElfReader(const ByteSource& file) : m_file(file) {}

    ElfSectionResult find(std::string_view name, std::size_t maxBytes)
    {
        if (!readIdentity())
            return {ResourceLookup::NotThisFormat, {}};
        if (!readHeader())
            return {ResourceLookup::Malformed, {}};
        if (m_sectionCount == 0)
            return {ResourceLookup::NoResource, {}};
        auto names = readNameTable();
        if (!names)
            return {ResourceLookup::Malformed, {}};
        for (std::uint64_t i = 0; i < m_sectionCount; ++i) {
            auto section = sectionAt(i);
            if (!section)
                return {ResourceLookup::Malformed, {}};
            if (nameAt(*names, section->name) == name)
                return contentsOf(*section, maxBytes);
        }
        return {ResourceLookup::NoResource, {}};
    }

private:
    std::uint16_t u16(const std::uint8_t* p) const
    {
        return m_bigEndian ? std::uint16_t((p[0] << 8) | p[1]) : readLe16(p);
    }
    std::uint32_t u32(const std::uint8_t* p) const
    {
        return m_bigEndian ? (std::uint32_t(u16(p)) << 16) | u16(p + 2) : readLe32(p);
    }
    std::uint64_t u64(const std::uint8_t* p) const
    {
        return m_bigEndian ? (std::uint64_t(u32(p)) << 32) | u32(p + 4)
                           : std::uint64_t(u32(p)) | (std::uint64_t(u32(p + 4)) << 32);
    }
    std::uint64_t word(const std::uint8_t* p) const { return m_is64 ? u64(p) : u32(p); }

    bool readIdentity()
    {
        std::array<std::uint8_t, 16> ident{};
        if (!m_file.readAt(0, ident) || ident[0] != 0x7F || ident[1] != 'E' || ident[2] != 'L' || ident[3] != 'F')
            return false;
        if ((ident[4] != 1 && ident[4] != 2) || (ident[5] != 1 && ident[5] != 2))
            return false;
        m_is64 = ident[4] == 2;
        m_bigEndian = ident[5] == 2;
        return true;
    }

    bool readHeader()
    {
        std::array<std::uint8_t, 64> header{};
        const std::size_t headerSize = m_is64 ? 64 : 52;
        if (!m_file.readAt(0, std::span(header).first(headerSize)))
            return false;
        const std::uint8_t* p = header.data();
        m_tableOffset = m_is64 ? u64(p + 0x28) : u32(p + 0x20);
        m_entrySize = u16(p + (m_is64 ? 0x3A : 0x2E));
        m_sectionCount = u16(p + (m_is64 ? 0x3C : 0x30));
        std::uint32_t nameIndex = u16(p + (m_is64 ? 0x3E : 0x32));
        if (m_tableOffset == 0)
            return m_sectionCount == 0; // no section table at all
        if (m_entrySize < (m_is64 ? 64u : 40u))
            return false;
        const bool countInFirst = m_sectionCount == 0;
        const bool nameIndexInFirst = nameIndex == kShnXindex;
        if (countInFirst || nameIndexInFirst) {
            // Extended numbering: the real values sit in section 0.
            auto first = sectionAt(0);
            if (!first)
                return false;
            if (countInFirst)
                m_sectionCount = first->size;
            if (nameIndexInFirst)
                nameIndex = first->link;
        }
        if (m_sectionCount > kMaxSectionCount || !m_file.contains(m_tableOffset, m_sectionCount * m_entrySize))
            return false;
        m_nameIndex = nameIndex;
        return m_nameIndex < m_sectionCount;
    }

    std::optional<SectionHeader> sectionAt(std::uint64_t index) const
    {
        std::array<std::uint8_t, 64> raw{};
        const std::size_t size = m_is64 ? 64 : 40;
        if (!m_file.readAt(m_tableOffset + index * m_entrySize, std::span(raw).first(size)))
            return std::nullopt;
        const std::uint8_t* p = raw.data();
        SectionHeader section;
        section.name = u32(p);
        section.type = u32(p + 4);
        section.offset = word(p + (m_is64 ? 0x18 : 0x10));
        section.size = word(p + (m_is64 ? 0x20 : 0x14));
        section.link = u32(p + (m_is64 ? 0x28 : 0x18));
        return section;
    }

    std::optional<std::vector<std::uint8_t>> readNameTable() const
    {
        auto table = sectionAt(m_nameIndex);
        if (!table || table->type == kShtNobits || table->size > kMaxNameTable)
            return std::nullopt;
        bool ok = false;
        std::vector<std::uint8_t> names = m_file.read(table->offset, std::size_t(table->size), ok);
        if (!ok)
            return std::nullopt;
        return names;
    }

    static std::string_view nameAt(const std::vector<std::uint8_t>& names, std::uint32_t offset)
    {
        if (offset >= names.size())
            return {};
        const char* start = reinterpret_cast<const char*>(names.data()) + offset;
        std::size_t length = 0;
        while (offset + length < names.size() && start[length] != 0)
            ++length;
        if (offset + length == names.size())
            return {}; // not terminated within the table
        return {start, length};
    }

    ElfSectionResult contentsOf(const SectionHeader& section, std::size_t maxBytes) const
    {
        if (section.type == kShtNobits || section.size == 0)
            return {ResourceLookup::NoResource, {}};
        const std::size_t length = std::size_t(std::min<std::uint64_t>(section.size, maxBytes));
        if (!m_file.contains(section.offset, section.size))
            return {ResourceLookup::Malformed, {}};
        bool ok = false;
        std::vector<std::uint8_t> bytes = m_file.read(section.offset, length, ok);
        if (!ok)
            return {ResourceLookup::Malformed, {}};
        return {ResourceLookup::Found, std::move(bytes)};
    }

    const ByteSource& m_file;
    bool m_is64 = false;
    bool m_bigEndian = false;
    std::uint64_t m_tableOffset = 0;
    std::uint64_t m_entrySize = 0;
    std::uint64_t m_sectionCount = 0;
    std::uint64_t m_nameIndex = 0;
};

} // namespace

ElfSectionResult FindElfSection(const ByteSource& file, std::string_view name, std::size_t maxBytes)
{
    return ElfReader(file).find(name, maxBytes);
}

} // namespace dw::platform
