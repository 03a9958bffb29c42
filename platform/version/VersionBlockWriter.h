// SPDX-License-Identifier: MIT
#pragma once
// Writes a version block in the layout VersionBlock.h reads: used at build
// time to embed our own programs' version blocks, and by tools and tests that
// need a block of their own.

#include "platform/version/VersionBlock.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dw::platform {

struct VersionStringTable {
    std::string key; // e.g. "040904b0"
    std::vector<std::pair<std::string, std::string>> strings; // UTF-8 name and value
};

struct VersionBlockContents {
    std::optional<VsFixedFileInfo> fixedInfo = VsFixedFileInfo{};
    std::vector<VersionStringTable> stringTables;
    std::vector<VersionTranslation> translations;
};

// The block's bytes; empty when the contents do not fit in a block (a node is
// limited to 65535 bytes).
std::vector<std::uint8_t> WriteVersionBlock(const VersionBlockContents& contents);

// Fixed file information for dotted version texts such as "4.72.3110.0":
// up to four parts of 16 bits each (missing parts are 0). Nothing when a
// text is not of that form.
std::optional<VsFixedFileInfo> FixedInfoForVersions(std::string_view fileVersion, std::string_view productVersion);

// UTF-8 to UTF-16 little-endian; malformed sequences become U+FFFD.
std::vector<std::uint8_t> Utf8ToUtf16Le(std::string_view text);

} // namespace dw::platform
