// SPDX-License-Identifier: MIT
#include "VersionBlock.h"

#include "platform/version/ByteSource.h"

#include <charconv>
#include <cstring>

namespace dw::platform {

namespace {

constexpr std::size_t kHeaderBytes = 6;
constexpr int kMaxDepth = 8;

constexpr std::size_t align4(std::size_t offset) { return (offset + 3) & ~std::size_t(3); }

// One parsed node; offsets are from the start of the block.
struct Node {
    std::size_t start = 0;
    std::size_t end = 0; // start + wLength, within the parent
    std::size_t keyStart = 0;
    std::size_t keyUnits = 0; // without the NUL
    std::size_t valueStart = 0;
    std::size_t valueBytes = 0;
    bool isText = false;
    std::size_t childrenStart = 0;
};

class Tree {
public:
    explicit Tree(std::span<const std::uint8_t> block) : m_block(block) {}

    // Parses the node at `start`, which must end by `limit`.
    std::optional<Node> nodeAt(std::size_t start, std::size_t limit) const
    {
        if (start > limit || limit - start < kHeaderBytes || limit > m_block.size())
            return std::nullopt;
        const std::uint8_t* p = m_block.data() + start;
        Node node;
        node.start = start;
        const std::size_t length = readLe16(p);
        const std::size_t valueLength = readLe16(p + 2);
        const std::uint16_t type = readLe16(p + 4);
        if (length < kHeaderBytes + 2 || length > limit - start || type > 1)
            return std::nullopt;
        node.end = start + length;
        node.isText = type == 1;
        node.keyStart = start + kHeaderBytes;
        std::size_t at = node.keyStart;
        while (true) {
            if (at + 2 > node.end)
                return std::nullopt; // key runs past the node
            if (readLe16(m_block.data() + at) == 0)
                break;
            at += 2;
        }
        node.keyUnits = (at - node.keyStart) / 2;
        node.valueStart = align4(at + 2);
        if (node.valueStart > node.end)
            node.valueStart = node.end;
        const std::size_t room = node.end - node.valueStart;
        if (node.isText) {
            // Writers disagree on whether text lengths count units or bytes:
            // take the units that fit into the node.
            node.valueBytes = std::min(valueLength * 2, room);
            node.valueBytes &= ~std::size_t(1);
        } else {
            if (valueLength > room)
                return std::nullopt;
            node.valueBytes = valueLength;
        }
        node.childrenStart = std::min(align4(node.valueStart + node.valueBytes), node.end);
        return node;
    }

    // The children of `parent`, in order; nothing when one is malformed.
    std::optional<std::vector<Node>> childrenOf(const Node& parent) const
    {
        std::vector<Node> children;
        std::size_t at = parent.childrenStart;
        while (at + kHeaderBytes <= parent.end) {
            if (readLe16(m_block.data() + at) == 0)
                break; // zero padding after the last child
            auto child = nodeAt(at, parent.end);
            if (!child)
                return std::nullopt;
            children.push_back(*child);
            at = align4(child->end);
        }
        return children;
    }

    bool wellFormed(const Node& node, int depth) const
    {
        if (depth > kMaxDepth)
            return false;
        auto children = childrenOf(node);
        if (!children)
            return false;
        for (const Node& child : *children) {
            if (!wellFormed(child, depth + 1))
                return false;
        }
        return true;
    }

    bool keyEquals(const Node& node, std::string_view name) const
    {
        if (node.keyUnits != name.size())
            return false;
        for (std::size_t i = 0; i < name.size(); ++i) {
            const std::uint16_t unit = readLe16(m_block.data() + node.keyStart + 2 * i);
            if (asciiLower(unit) != asciiLower(static_cast<unsigned char>(name[i])))
                return false;
        }
        return true;
    }

    std::string keyOf(const Node& node) const
    {
        return Utf16LeToUtf8(m_block.subspan(node.keyStart, node.keyUnits * 2));
    }

    std::span<const std::uint8_t> valueOf(const Node& node) const
    {
        return m_block.subspan(node.valueStart, node.valueBytes);
    }

    std::optional<Node> root() const
    {
        const std::size_t length = VersionBlockLength(m_block);
        return length ? nodeAt(0, length) : std::nullopt;
    }

private:
    static std::uint32_t asciiLower(std::uint32_t c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }

    std::span<const std::uint8_t> m_block;
};

std::vector<std::string_view> splitPath(std::string_view path)
{
    std::vector<std::string_view> parts;
    std::size_t pos = 0;
    while (pos <= path.size()) {
        std::size_t next = path.find('\\', pos);
        if (next == std::string_view::npos)
            next = path.size();
        if (next > pos)
            parts.push_back(path.substr(pos, next - pos));
        pos = next + 1;
    }
    return parts;
}

std::optional<Node> findNode(const Tree& tree, std::string_view path)
{
    auto node = tree.root();
    if (!node)
        return std::nullopt;
    for (std::string_view part : splitPath(path)) {
        auto children = tree.childrenOf(*node);
        if (!children)
            return std::nullopt;
        std::optional<Node> match;
        for (const Node& child : *children) {
            if (tree.keyEquals(child, part)) {
                match = child;
                break;
            }
        }
        if (!match)
            return std::nullopt;
        node = match;
    }
    return node;
}

void appendUtf8(std::string& out, std::uint32_t code)
{
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

} // namespace

std::size_t VersionBlockLength(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < 2)
        return 0;
    const std::size_t length = readLe16(bytes.data());
    return length <= bytes.size() ? length : 0;
}

bool IsWellFormedVersionBlock(std::span<const std::uint8_t> block)
{
    const Tree tree(block);
    auto root = tree.root();
    return root && tree.keyEquals(*root, "VS_VERSION_INFO") && tree.wellFormed(*root, 0);
}

std::optional<VersionValue> VerQueryValue(std::span<const std::uint8_t> block, std::string_view subBlock)
{
    const Tree tree(block);
    auto node = findNode(tree, subBlock);
    if (!node)
        return std::nullopt;
    if (node->start == 0 && !VerQueryFixedInfo(block))
        return std::nullopt;
    return VersionValue{tree.valueOf(*node), node->isText};
}

std::optional<std::string> VerQueryString(std::span<const std::uint8_t> block, std::string_view subBlock)
{
    auto value = VerQueryValue(block, subBlock);
    if (!value || !value->isText)
        return std::nullopt;
    std::span<const std::uint8_t> text = value->bytes;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        if (readLe16(text.data() + i) == 0) {
            text = text.first(i);
            break;
        }
    }
    return Utf16LeToUtf8(text);
}

std::optional<VsFixedFileInfo> VerQueryFixedInfo(std::span<const std::uint8_t> block)
{
    const Tree tree(block);
    auto root = tree.root();
    if (!root || root->valueBytes < VsFixedFileInfo::kSize)
        return std::nullopt;
    const std::uint8_t* p = block.data() + root->valueStart;
    std::uint32_t fields[13];
    for (int i = 0; i < 13; ++i)
        fields[i] = readLe32(p + 4 * i);
    if (fields[0] != VsFixedFileInfo::kSignature)
        return std::nullopt;
    VsFixedFileInfo info;
    static_assert(sizeof(VsFixedFileInfo) == sizeof fields);
    std::memcpy(&info, fields, sizeof info);
    return info;
}

std::vector<VersionTranslation> VerQueryTranslations(std::span<const std::uint8_t> block)
{
    std::vector<VersionTranslation> pairs;
    auto value = VerQueryValue(block, "\\VarFileInfo\\Translation");
    if (!value || value->isText)
        return pairs;
    for (std::size_t i = 0; i + 4 <= value->bytes.size(); i += 4)
        pairs.push_back({readLe16(value->bytes.data() + i), readLe16(value->bytes.data() + i + 2)});
    return pairs;
}

std::vector<std::string> VerStringTableKeys(std::span<const std::uint8_t> block)
{
    std::vector<std::string> keys;
    const Tree tree(block);
    auto fileInfo = findNode(tree, "\\StringFileInfo");
    if (!fileInfo)
        return keys;
    auto tables = tree.childrenOf(*fileInfo);
    if (!tables)
        return keys;
    for (const Node& table : *tables)
        keys.push_back(tree.keyOf(table));
    return keys;
}

std::optional<VersionTranslation> VerFirstTranslation(std::span<const std::uint8_t> block)
{
    const std::vector<VersionTranslation> pairs = VerQueryTranslations(block);
    if (!pairs.empty())
        return pairs.front();
    const std::vector<std::string> keys = VerStringTableKeys(block);
    if (keys.empty() || keys.front().size() != 8)
        return std::nullopt;
    std::uint32_t value = 0;
    const std::string& key = keys.front();
    const auto result = std::from_chars(key.data(), key.data() + key.size(), value, 16);
    if (result.ec != std::errc() || result.ptr != key.data() + key.size())
        return std::nullopt;
    return VersionTranslation{std::uint16_t(value >> 16), std::uint16_t(value & 0xFFFF)};
}

std::string Utf16LeToUtf8(std::span<const std::uint8_t> bytes)
{
    std::string out;
    out.reserve(bytes.size() / 2);
    const std::size_t units = bytes.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        const std::uint32_t unit = readLe16(bytes.data() + 2 * i);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
            const std::uint32_t low = readLe16(bytes.data() + 2 * (i + 1));
            if (low >= 0xDC00 && low <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        appendUtf8(out, unit >= 0xD800 && unit <= 0xDFFF ? 0xFFFD : unit);
    }
    return out;
}

} // namespace dw::platform
