// SPDX-License-Identifier: MIT
#include "PeVersionResource.h"

#include <array>
#include <optional>

namespace dw::platform {

namespace {

constexpr std::uint32_t kRtVersion = 16;
constexpr std::size_t kMaxVersionResource = 0xFFFF; // a block's length is 16-bit
constexpr std::uint16_t kMaxSections = 96;            // the loader's own limit

struct Section {
    std::uint32_t virtualAddress = 0;
    std::uint32_t virtualSize = 0;
    std::uint32_t rawSize = 0;
    std::uint32_t rawOffset = 0;
};

struct DataDirectory {
    std::uint32_t rva = 0;
    std::uint32_t size = 0;
};

class PeReader {
public:
    explicit PeReader(const ByteSource& file) : m_file(file) {}

    PeVersionResult find()
    {
        std::uint32_t peOffset = 0;
        if (!readSignatures(peOffset))
            return {ResourceLookup::NotThisFormat, {}};
        DataDirectory resources;
        if (!readHeaders(peOffset, resources))
            return {ResourceLookup::Malformed, {}};
        if (resources.rva == 0 || resources.size == 0)
            return {ResourceLookup::NoResource, {}};
        return findVersion(resources);
    }

private:
    template <std::size_t N>
    bool readFixed(std::uint64_t offset, std::array<std::uint8_t, N>& out) const
    {
        return m_file.readAt(offset, out);
    }

    bool readSignatures(std::uint32_t& peOffset) const
    {
        std::array<std::uint8_t, 64> dos{};
        if (!readFixed(0, dos) || dos[0] != 'M' || dos[1] != 'Z')
            return false;
        peOffset = readLe32(dos.data() + 0x3C);
        std::array<std::uint8_t, 4> signature{};
        return readFixed(peOffset, signature) && signature[0] == 'P' && signature[1] == 'E' && signature[2] == 0
            && signature[3] == 0;
    }

    bool readHeaders(std::uint32_t peOffset, DataDirectory& resources)
    {
        std::array<std::uint8_t, 20> coff{};
        const std::uint64_t coffOffset = std::uint64_t(peOffset) + 4;
        if (!readFixed(coffOffset, coff))
            return false;
        const std::uint16_t sectionCount = readLe16(coff.data() + 2);
        const std::uint16_t optionalSize = readLe16(coff.data() + 16);
        if (sectionCount > kMaxSections)
            return false;
        const std::uint64_t optionalOffset = coffOffset + 20;
        if (!readResourceDirectory(optionalOffset, optionalSize, resources))
            return false;
        return readSections(optionalOffset + optionalSize, sectionCount);
    }

    bool readResourceDirectory(std::uint64_t offset, std::uint16_t optionalSize, DataDirectory& resources) const
    {
        bool ok = false;
        const std::vector<std::uint8_t> header = m_file.read(offset, optionalSize, ok);
        if (!ok || header.size() < 2)
            return false;
        const std::uint16_t magic = readLe16(header.data());
        std::size_t countAt = 0;
        if (magic == 0x10B)
            countAt = 92; // PE32
        else if (magic == 0x20B)
            countAt = 108; // PE32+
        else
            return false;
        if (header.size() < countAt + 4)
            return false;
        const std::uint32_t directoryCount = readLe32(header.data() + countAt);
        const std::size_t resourceEntry = countAt + 4 + 2 * 8;
        if (directoryCount <= 2 || header.size() < resourceEntry + 8)
            return true; // no resource directory at all
        resources.rva = readLe32(header.data() + resourceEntry);
        resources.size = readLe32(header.data() + resourceEntry + 4);
        return true;
    }

    bool readSections(std::uint64_t offset, std::uint16_t count)
    {
        bool ok = false;
        const std::vector<std::uint8_t> table = m_file.read(offset, std::size_t(count) * 40, ok);
        if (!ok)
            return false;
        for (std::uint16_t i = 0; i < count; ++i) {
            const std::uint8_t* p = table.data() + std::size_t(i) * 40;
            m_sections.push_back({readLe32(p + 12), readLe32(p + 8), readLe32(p + 16), readLe32(p + 20)});
        }
        return true;
    }

    // File offset of `length` bytes at `rva`, when they lie in one section's
    // raw data and within the file.
    std::optional<std::uint64_t> fileOffset(std::uint64_t rva, std::uint32_t length) const
    {
        for (const Section& section : m_sections) {
            if (rva < section.virtualAddress)
                continue;
            const std::uint64_t into = rva - section.virtualAddress;
            if (into + length > section.rawSize)
                continue;
            const std::uint64_t offset = std::uint64_t(section.rawOffset) + into;
            if (!m_file.contains(offset, length))
                return std::nullopt;
            return offset;
        }
        return std::nullopt;
    }

    struct Entry {
        std::uint32_t name = 0;
        std::uint32_t target = 0;
    };

    // Entries of the resource directory at `offset` within the resource tree.
    std::optional<std::vector<Entry>> directoryAt(std::uint32_t treeRva, std::uint32_t treeSize,
                                                  std::uint32_t offset) const
    {
        if (offset > treeSize || treeSize - offset < 16)
            return std::nullopt;
        auto at = fileOffset(std::uint64_t(treeRva) + offset, 16);
        std::array<std::uint8_t, 16> header{};
        if (!at || !readFixed(*at, header))
            return std::nullopt;
        const std::uint32_t count = std::uint32_t(readLe16(header.data() + 12)) + readLe16(header.data() + 14);
        const std::uint64_t entriesBytes = std::uint64_t(count) * 8;
        if (entriesBytes > treeSize - offset - 16)
            return std::nullopt;
        bool ok = false;
        const std::vector<std::uint8_t> raw = m_file.read(*at + 16, std::size_t(entriesBytes), ok);
        if (!ok)
            return std::nullopt;
        std::vector<Entry> entries;
        for (std::uint32_t i = 0; i < count; ++i)
            entries.push_back({readLe32(raw.data() + 8 * i), readLe32(raw.data() + 8 * i + 4)});
        return entries;
    }

    static constexpr std::uint32_t kSubdirectory = 0x80000000u;

    PeVersionResult findVersion(const DataDirectory& tree) const
    {
        auto types = directoryAt(tree.rva, tree.size, 0);
        if (!types)
            return {ResourceLookup::Malformed, {}};
        const Entry* versionType = nullptr;
        for (const Entry& entry : *types) {
            if (entry.name == kRtVersion) {
                versionType = &entry;
                break;
            }
        }
        if (!versionType)
            return {ResourceLookup::NoResource, {}};
        // Type -> name -> language -> data: take the first entry at each level.
        std::uint32_t target = versionType->target;
        for (int level = 0; level < 2; ++level) {
            if (!(target & kSubdirectory))
                return {ResourceLookup::Malformed, {}};
            auto entries = directoryAt(tree.rva, tree.size, target & ~kSubdirectory);
            if (!entries)
                return {ResourceLookup::Malformed, {}};
            if (entries->empty())
                return {ResourceLookup::NoResource, {}};
            target = entries->front().target;
        }
        if (target & kSubdirectory)
            return {ResourceLookup::Malformed, {}};
        return readData(tree, target);
    }

    PeVersionResult readData(const DataDirectory& tree, std::uint32_t entryOffset) const
    {
        if (entryOffset > tree.size || tree.size - entryOffset < 16)
            return {ResourceLookup::Malformed, {}};
        auto at = fileOffset(std::uint64_t(tree.rva) + entryOffset, 16);
        std::array<std::uint8_t, 16> entry{};
        if (!at || !readFixed(*at, entry))
            return {ResourceLookup::Malformed, {}};
        const std::uint32_t dataRva = readLe32(entry.data());
        const std::uint32_t dataSize = readLe32(entry.data() + 4);
        if (dataSize == 0 || dataSize > kMaxVersionResource)
            return {ResourceLookup::Malformed, {}};
        auto dataAt = fileOffset(dataRva, dataSize);
        if (!dataAt)
            return {ResourceLookup::Malformed, {}};
        bool ok = false;
        std::vector<std::uint8_t> block = m_file.read(*dataAt, dataSize, ok);
        if (!ok)
            return {ResourceLookup::Malformed, {}};
        return {ResourceLookup::Found, std::move(block)};
    }

    const ByteSource& m_file;
    std::vector<Section> m_sections;
};

} // namespace

PeVersionResult FindPeVersionResource(const ByteSource& file)
{
    return PeReader(file).find();
}

} // namespace dw::platform
