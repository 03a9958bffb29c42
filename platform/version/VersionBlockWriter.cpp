// SPDX-License-Identifier: MIT
#include "VersionBlockWriter.h"

#include <array>
#include <charconv>
#include <cstring>

namespace dw::platform {

namespace {

class NodeWriter {
public:
    // Writes one node; `children` writes the node's children into the same buffer.
    template <class Children>
    bool write(std::vector<std::uint8_t>& out, std::string_view key, std::span<const std::uint8_t> value,
               std::uint16_t valueLength, bool isText, Children children)
    {
        pad(out);
        const std::size_t start = out.size();
        put16(out, 0); // wLength, filled in below
        put16(out, valueLength);
        put16(out, isText ? 1 : 0);
        const std::vector<std::uint8_t> key16 = Utf8ToUtf16Le(key);
        out.insert(out.end(), key16.begin(), key16.end());
        put16(out, 0);
        if (!value.empty()) {
            pad(out);
            out.insert(out.end(), value.begin(), value.end());
        }
        if (!children(out))
            return false;
        const std::size_t length = out.size() - start;
        if (length > 0xFFFF)
            return false;
        out[start] = std::uint8_t(length & 0xFF);
        out[start + 1] = std::uint8_t(length >> 8);
        return true;
    }

    static void pad(std::vector<std::uint8_t>& out)
    {
        while (out.size() % 4)
            out.push_back(0);
    }

    static void put16(std::vector<std::uint8_t>& out, std::uint16_t value)
    {
        out.push_back(std::uint8_t(value & 0xFF));
        out.push_back(std::uint8_t(value >> 8));
    }

    static void put32(std::vector<std::uint8_t>& out, std::uint32_t value)
    {
        put16(out, std::uint16_t(value & 0xFFFF));
        put16(out, std::uint16_t(value >> 16));
    }
};

constexpr auto kNoChildren = [](std::vector<std::uint8_t>&) { return true; };

bool writeString(NodeWriter& writer, std::vector<std::uint8_t>& out, const std::string& name, const std::string& value)
{
    std::vector<std::uint8_t> text = Utf8ToUtf16Le(value);
    text.push_back(0);
    text.push_back(0);
    if (text.size() / 2 > 0xFFFF)
        return false;
    return writer.write(out, name, text, std::uint16_t(text.size() / 2), true, kNoChildren);
}

bool writeStringFileInfo(NodeWriter& writer, std::vector<std::uint8_t>& out, const VersionBlockContents& contents)
{
    return writer.write(out, "StringFileInfo", {}, 0, true, [&](std::vector<std::uint8_t>& tablesOut) {
        for (const VersionStringTable& table : contents.stringTables) {
            const bool ok = writer.write(tablesOut, table.key, {}, 0, true, [&](std::vector<std::uint8_t>& stringsOut) {
                for (const auto& [name, value] : table.strings) {
                    if (!writeString(writer, stringsOut, name, value))
                        return false;
                }
                return true;
            });
            if (!ok)
                return false;
        }
        return true;
    });
}

bool writeVarFileInfo(NodeWriter& writer, std::vector<std::uint8_t>& out, const VersionBlockContents& contents)
{
    return writer.write(out, "VarFileInfo", {}, 0, true, [&](std::vector<std::uint8_t>& varsOut) {
        std::vector<std::uint8_t> pairs;
        for (const VersionTranslation& translation : contents.translations) {
            NodeWriter::put16(pairs, translation.language);
            NodeWriter::put16(pairs, translation.codePage);
        }
        if (pairs.size() > 0xFFFF)
            return false;
        return writer.write(varsOut, "Translation", pairs, std::uint16_t(pairs.size()), false, kNoChildren);
    });
}

std::vector<std::uint8_t> fixedInfoBytes(const VsFixedFileInfo& info)
{
    std::vector<std::uint8_t> bytes;
    for (std::uint32_t field : {info.dwSignature, info.dwStrucVersion, info.dwFileVersionMS, info.dwFileVersionLS,
                                info.dwProductVersionMS, info.dwProductVersionLS, info.dwFileFlagsMask,
                                info.dwFileFlags, info.dwFileOS, info.dwFileType, info.dwFileSubtype,
                                info.dwFileDateMS, info.dwFileDateLS})
        NodeWriter::put32(bytes, field);
    return bytes;
}

std::optional<std::array<std::uint16_t, 4>> versionParts(std::string_view text)
{
    std::array<std::uint16_t, 4> parts{};
    std::size_t index = 0;
    const char* p = text.data();
    const char* end = text.data() + text.size();
    while (p < end) {
        if (index == 4)
            return std::nullopt;
        std::uint16_t value = 0;
        const auto result = std::from_chars(p, end, value);
        if (result.ec != std::errc())
            return std::nullopt;
        parts[index++] = value;
        p = result.ptr;
        if (p < end && *p++ != '.')
            return std::nullopt;
    }
    if (index == 0)
        return std::nullopt;
    return parts;
}

void appendReplacement(std::vector<std::uint8_t>& out)
{
    NodeWriter::put16(out, 0xFFFD);
}

} // namespace

std::vector<std::uint8_t> WriteVersionBlock(const VersionBlockContents& contents)
{
    NodeWriter writer;
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> fixed;
    if (contents.fixedInfo)
        fixed = fixedInfoBytes(*contents.fixedInfo);
    const bool ok = writer.write(out, "VS_VERSION_INFO", fixed, std::uint16_t(fixed.size()), false,
                                 [&](std::vector<std::uint8_t>& childrenOut) {
                                     if (!contents.stringTables.empty()
                                         && !writeStringFileInfo(writer, childrenOut, contents))
                                         return false;
                                     if (!contents.translations.empty()
                                         && !writeVarFileInfo(writer, childrenOut, contents))
                                         return false;
                                     return true;
                                 });
    if (!ok)
        return {};
    return out;
}

std::optional<VsFixedFileInfo> FixedInfoForVersions(std::string_view fileVersion, std::string_view productVersion)
{
    const auto file = versionParts(fileVersion);
    const auto product = versionParts(productVersion);
    if (!file || !product)
        return std::nullopt;
    VsFixedFileInfo info;
    info.dwFileVersionMS = (std::uint32_t((*file)[0]) << 16) | (*file)[1];
    info.dwFileVersionLS = (std::uint32_t((*file)[2]) << 16) | (*file)[3];
    info.dwProductVersionMS = (std::uint32_t((*product)[0]) << 16) | (*product)[1];
    info.dwProductVersionLS = (std::uint32_t((*product)[2]) << 16) | (*product)[3];
    return info;
}

std::vector<std::uint8_t> Utf8ToUtf16Le(std::string_view text)
{
    std::vector<std::uint8_t> out;
    out.reserve(text.size() * 2);
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > text.size()) {
            appendReplacement(out);
            ++i;
            continue;
        }
        std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
        bool valid = true;
        for (std::size_t k = 1; k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            code = (code << 6) | (next & 0x3F);
        }
        static constexpr std::uint32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
        if (!valid || code < kMinimum[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            appendReplacement(out);
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            NodeWriter::put16(out, std::uint16_t(0xD800 + (code >> 10)));
            NodeWriter::put16(out, std::uint16_t(0xDC00 + (code & 0x3FF)));
        } else {
            NodeWriter::put16(out, std::uint16_t(code));
        }
        i += length;
    }
    return out;
}

} // namespace dw::platform
