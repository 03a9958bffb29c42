// SPDX-License-Identifier: MIT
#pragma once
// The platform's file-version calls: the version block of a file, read from
// a PE file's version resource or from our own ELF files' ".dwversion"
// section, and looked into with VerQueryValue (VersionBlock.h).

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dw::platform {

enum class FileVersionError {
    None,
    FileNotFound,      // no such file
    FileUnreadable,    // exists, but cannot be opened or read, or is no plain file
    NoVersionInfo,     // a sound file without a version block
    BadFormat,         // neither PE nor ELF, or damaged headers
    VersionInfoDamaged // the version block itself is not well-formed
};

// The platform's error number for each of these (2, 5, 1813, 11, 1812), so
// callers can test the value the version calls are documented with.
std::uint32_t PlatformErrorNumber(FileVersionError error);

struct FileVersionBlock {
    FileVersionError error = FileVersionError::None;
    std::vector<std::uint8_t> block; // well-formed when error is None
};

// Reads the version block of the file at `path`: for PE files the version
// resource, for ELF files the section `section` (by default the file's own
// block; the shell module's block has its own section, ShellVersion.h).
FileVersionBlock GetFileVersionInfo(const std::string& path, std::string_view section = ".dwversion");

class ByteSource;

// The same, on bytes already at hand.
FileVersionBlock GetVersionInfoFromSource(const ByteSource& file, std::string_view section = ".dwversion");

// True when `path` names an existing file (not a folder).
bool VersionFileExists(const std::string& path);

// Bytes of the version block of `path`, or 0 with the reason in `error`.
std::uint32_t GetFileVersionInfoSize(const std::string& path, FileVersionError& error);

} // namespace dw::platform
