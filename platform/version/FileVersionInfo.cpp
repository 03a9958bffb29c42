// SPDX-License-Identifier: MIT
#include "FileVersionInfo.h"

#include "platform/version/ByteSource.h"
#include "platform/version/ElfSection.h"
#include "platform/version/PeVersionResource.h"
#include "platform/version/VersionBlock.h"

#include <sys/stat.h>

namespace dw::platform {

namespace {

constexpr std::size_t kMaxBlock = 0xFFFF;

FileVersionError errorOf(ResourceLookup status)
{
    switch (status) {
    case ResourceLookup::Found:
        return FileVersionError::None;
    case ResourceLookup::NoResource:
        return FileVersionError::NoVersionInfo;
    case ResourceLookup::NotThisFormat:
    case ResourceLookup::Malformed:
        break;
    }
    return FileVersionError::BadFormat;
}

FileVersionBlock checkedBlock(std::vector<std::uint8_t> bytes)
{
    const std::size_t length = VersionBlockLength(bytes);
    if (length == 0)
        return {FileVersionError::VersionInfoDamaged, {}};
    bytes.resize(length);
    if (!IsWellFormedVersionBlock(bytes))
        return {FileVersionError::VersionInfoDamaged, {}};
    return {FileVersionError::None, std::move(bytes)};
}

} // namespace

FileVersionBlock GetVersionInfoFromSource(const ByteSource& file, std::string_view section)
{
    PeVersionResult pe = FindPeVersionResource(file);
    if (pe.status == ResourceLookup::Found)
        return checkedBlock(std::move(pe.block));
    if (pe.status != ResourceLookup::NotThisFormat)
        return {errorOf(pe.status), {}};
    ElfSectionResult elf = FindElfSection(file, section, kMaxBlock);
    if (elf.status == ResourceLookup::Found)
        return checkedBlock(std::move(elf.bytes));
    return {errorOf(elf.status), {}};
}

std::uint32_t PlatformErrorNumber(FileVersionError error)
{
    switch (error) {
    case FileVersionError::None:
        return 0;
    case FileVersionError::FileNotFound:
        return 2; // ERROR_FILE_NOT_FOUND
    case FileVersionError::FileUnreadable:
        return 5; // ERROR_ACCESS_DENIED
    case FileVersionError::NoVersionInfo:
        return 1813; // ERROR_RESOURCE_TYPE_NOT_FOUND
    case FileVersionError::BadFormat:
        return 11; // ERROR_BAD_FORMAT
    case FileVersionError::VersionInfoDamaged:
        return 1812; // ERROR_RESOURCE_DATA_NOT_FOUND
    }
    return 0;
}

FileVersionBlock GetFileVersionInfo(const std::string& path, std::string_view section)
{
    FileByteSource file;
    switch (file.open(path)) {
    case FileByteSource::OpenResult::Opened:
        break;
    case FileByteSource::OpenResult::NotFound:
        return {FileVersionError::FileNotFound, {}};
    case FileByteSource::OpenResult::NotAFile:
    case FileByteSource::OpenResult::Unreadable:
        return {FileVersionError::FileUnreadable, {}};
    }
    return GetVersionInfoFromSource(file, section);
}

bool VersionFileExists(const std::string& path)
{
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

std::uint32_t GetFileVersionInfoSize(const std::string& path, FileVersionError& error)
{
    FileVersionBlock result = GetFileVersionInfo(path);
    error = result.error;
    return std::uint32_t(result.block.size());
}

} // namespace dw::platform
