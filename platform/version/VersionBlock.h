// SPDX-License-Identifier: MIT
#pragma once
// The version block: the tree of version information that an executable
// carries (in a PE file as its RT_VERSION resource, in our own ELF files as
// the .dwversion section).
//
// Every node is laid out as
//
//   uint16 wLength       bytes of the node, children included
//   uint16 wValueLength  value size: in UTF-16 units for text, bytes otherwise
//   uint16 wType         1 = text value, 0 = binary value
//   UTF-16 szKey         the node's name, NUL-terminated
//   padding to 32 bits   (offsets are counted from the start of the block)
//   value                wValueLength units
//   padding to 32 bits
//   children             nodes, each starting on a 32-bit boundary
//
// The root is "VS_VERSION_INFO" with the 52-byte fixed file information as
// its value, and the children "StringFileInfo" (one table of strings per
// translation, keyed like "040904b0") and "VarFileInfo" (the "Translation"
// array of language and code-page pairs, 16 bits each).
//
// The reader checks every length against the node that holds it and never
// reads outside the block it is given.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dw::platform {

struct VsFixedFileInfo {
    static constexpr std::uint32_t kSignature = 0xFEEF04BD;
    static constexpr std::size_t kSize = 52;

    std::uint32_t dwSignature = kSignature;
    std::uint32_t dwStrucVersion = 0x00010000;
    std::uint32_t dwFileVersionMS = 0;
    std::uint32_t dwFileVersionLS = 0;
    std::uint32_t dwProductVersionMS = 0;
    std::uint32_t dwProductVersionLS = 0;
    std::uint32_t dwFileFlagsMask = 0x3F;
    std::uint32_t dwFileFlags = 0;
    std::uint32_t dwFileOS = 0x00040004; // VOS_NT_WINDOWS32
    std::uint32_t dwFileType = 1;        // VFT_APP
    std::uint32_t dwFileSubtype = 0;
    std::uint32_t dwFileDateMS = 0;
    std::uint32_t dwFileDateLS = 0;
};

struct VersionTranslation {
    std::uint16_t language = 0;
    std::uint16_t codePage = 0;
};

// The value of one node as VerQueryValue answers it.
struct VersionValue {
    std::span<const std::uint8_t> bytes; // the value's bytes within the block
    bool isText = false;                 // bytes are UTF-16 text
};

// True when `block` holds a well-formed root node of the version tree; every
// node below it is checked too.
bool IsWellFormedVersionBlock(std::span<const std::uint8_t> block);

// Bytes of the root node (its wLength), or 0 when fewer bytes are there.
std::size_t VersionBlockLength(std::span<const std::uint8_t> bytes);

// Looks a value up by its path in the tree, like VerQueryValue:
//   "\"                                   the fixed file information
//   "\VarFileInfo\Translation"            the translation array
//   "\StringFileInfo\040904b0\FileVersion" one string
// Names compare without regard to ASCII case. Answers nothing when the path
// does not lead to a node, or to the fixed information when there is none.
std::optional<VersionValue> VerQueryValue(std::span<const std::uint8_t> block, std::string_view subBlock);

// The text of a string value as UTF-8, up to its first NUL; nothing when the
// path leads nowhere or to a binary value.
std::optional<std::string> VerQueryString(std::span<const std::uint8_t> block, std::string_view subBlock);

// The fixed file information; nothing when the block has none (or its
// signature is wrong).
std::optional<VsFixedFileInfo> VerQueryFixedInfo(std::span<const std::uint8_t> block);

// The pairs under "\VarFileInfo\Translation", in order.
std::vector<VersionTranslation> VerQueryTranslations(std::span<const std::uint8_t> block);

// Keys of the string tables under "\StringFileInfo", in order.
std::vector<std::string> VerStringTableKeys(std::span<const std::uint8_t> block);

// The translation whose string table holds the block's strings: the first
// pair under "\VarFileInfo\Translation"; for blocks without that array, the
// key of the first string table (8 hexadecimal digits) read as a pair.
std::optional<VersionTranslation> VerFirstTranslation(std::span<const std::uint8_t> block);

// UTF-16 little-endian bytes to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16LeToUtf8(std::span<const std::uint8_t> bytes);

} // namespace dw::platform
