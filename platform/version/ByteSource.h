// SPDX-License-Identifier: MIT
#pragma once
// Random access to the bytes of a file or a buffer, for the readers of
// executable formats. A reader asks only for the pieces it needs, so huge
// files are never read whole, and every request is checked against the size.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace dw::platform {

class ByteSource {
public:
    virtual ~ByteSource() = default;

    virtual std::uint64_t size() const = 0;

    // Copies `out.size()` bytes at `offset`; false when they are not all there.
    virtual bool readAt(std::uint64_t offset, std::span<std::uint8_t> out) const = 0;

    // `length` bytes at `offset`, or an empty vector with `ok` false.
    std::vector<std::uint8_t> read(std::uint64_t offset, std::size_t length, bool& ok) const;

    bool contains(std::uint64_t offset, std::uint64_t length) const
    {
        return offset <= size() && length <= size() - offset;
    }
};

class MemoryByteSource final : public ByteSource {
public:
    explicit MemoryByteSource(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    std::uint64_t size() const override { return m_bytes.size(); }
    bool readAt(std::uint64_t offset, std::span<std::uint8_t> out) const override;

private:
    std::span<const std::uint8_t> m_bytes;
};

// Reads an open file with pread; the file stays open while the source lives.
class FileByteSource final : public ByteSource {
public:
    enum class OpenResult { Opened, NotFound, NotAFile, Unreadable };

    FileByteSource() = default;
    ~FileByteSource() override;
    FileByteSource(const FileByteSource&) = delete;
    FileByteSource& operator=(const FileByteSource&) = delete;

    OpenResult open(const std::string& path);

    std::uint64_t size() const override { return m_size; }
    bool readAt(std::uint64_t offset, std::span<std::uint8_t> out) const override;

private:
    int m_fd = -1;
    std::uint64_t m_size = 0;
};

// Little- and big-endian field access on bytes already read.
inline std::uint16_t readLe16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
inline std::uint32_t readLe32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}

} // namespace dw::platform
