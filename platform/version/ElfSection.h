// SPDX-License-Identifier: MIT
#pragma once
// Finds a named section of an ELF file (32 or 64 bit, either byte order):
// our own executables carry their version block in the section ".dwversion".
//
// The section header table, the section-name table and the section itself are
// checked against the file's size before they are read.

#include "platform/version/ByteSource.h"
#include "platform/version/PeVersionResource.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace dw::platform {

inline constexpr std::string_view kVersionSectionName = ".dwversion";
inline constexpr std::string_view kShellVersionSectionName = ".dwshellversion";

struct ElfSectionResult {
    ResourceLookup status = ResourceLookup::NotThisFormat;
    std::vector<std::uint8_t> bytes; // the section's contents when found
};

// The contents of the section `name`, at most `maxBytes` of them.
ElfSectionResult FindElfSection(const ByteSource& file, std::string_view name, std::size_t maxBytes);

} // namespace dw::platform
