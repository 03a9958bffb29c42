// SPDX-License-Identifier: MIT
#include "ByteSource.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dw::platform {

std::vector<std::uint8_t> ByteSource::read(std::uint64_t offset, std::size_t length, bool& ok) const
{
    std::vector<std::uint8_t> bytes;
    ok = contains(offset, length);
    if (!ok)
        return bytes;
    bytes.resize(length);
    ok = readAt(offset, bytes);
    if (!ok)
        bytes.clear();
    return bytes;
}

bool MemoryByteSource::readAt(std::uint64_t offset, std::span<std::uint8_t> out) const
{
    if (!contains(offset, out.size()))
        return false;
    if (!out.empty())
        std::memcpy(out.data(), m_bytes.data() + offset, out.size());
    return true;
}

FileByteSource::~FileByteSource()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

FileByteSource::OpenResult FileByteSource::open(const std::string& path)
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    m_size = 0;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? OpenResult::NotFound : OpenResult::Unreadable;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        ::close(fd);
        return OpenResult::Unreadable;
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return OpenResult::NotAFile;
    }
    m_fd = fd;
    m_size = std::uint64_t(info.st_size);
    return OpenResult::Opened;
}

bool FileByteSource::readAt(std::uint64_t offset, std::span<std::uint8_t> out) const
{
    if (m_fd < 0 || !contains(offset, out.size()))
        return false;
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t got = ::pread(m_fd, out.data() + done, out.size() - done, off_t(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false; // error, or the file shrank under us
        done += std::size_t(got);
    }
    return true;
}

} // namespace dw::platform
