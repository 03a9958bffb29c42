// SPDX-License-Identifier: MIT
#include "platform/settings/WineRegistry.h"

#include "platform/files/ByteBuffer.h"
#include "platform/files/WholeFile.h"
#include "platform/settings/RegistryHexData.h"
#include "platform/settings/RegistryKeyPath.h"
#include "platform/settings/Utf16Text.h"

namespace dw::platform {

namespace {

constexpr std::string_view wineHeader = "WINE REGISTRY Version 2";

int digitValue(char c, int base)
{
    const int value = hexDigitValue(c);
    return value < base ? value : -1;
}

// Collects text from plain bytes (UTF-8) and escaped UTF-16 code units, so
// that two escaped halves of a surrogate pair make one character.
class TextBuilder {
public:
    void addByte(char byte)
    {
        flushUnits();
        text_ += byte;
    }
    void addUnit(std::uint32_t unit)
    {
        units_ += char(unit & 0xFF);
        units_ += char((unit >> 8) & 0xFF);
    }
    std::string take()
    {
        flushUnits();
        return std::move(text_);
    }

private:
    void flushUnits()
    {
        text_ += utf8FromUtf16Le(units_);
        units_.clear();
    }
    std::string text_;
    std::string units_;
};

// The number of up to `most` digits of `base` at the start of `text`.
std::uint32_t takeNumber(std::string_view& text, int base, std::size_t most)
{
    std::uint32_t number = 0;
    std::size_t used = 0;
    for (; used < most && used < text.size() && digitValue(text[used], base) >= 0; ++used)
        number = number * std::uint32_t(base) + std::uint32_t(digitValue(text[used], base));
    text.remove_prefix(used);
    return number;
}

void addEscape(std::string_view& text, TextBuilder& out)
{
    static constexpr std::string_view letters = "abefnrtv";
    static constexpr char controls[] = {7, 8, 27, 12, 10, 13, 9, 11};
    const char c = text.front();
    if (const auto at = letters.find(c); at != std::string_view::npos) {
        out.addUnit(std::uint32_t(controls[at]));
        text.remove_prefix(1);
    } else if (c == 'x' && text.size() > 1 && digitValue(text[1], 16) >= 0) {
        text.remove_prefix(1);
        out.addUnit(takeNumber(text, 16, 4));
    } else if (digitValue(c, 8) >= 0) {
        out.addUnit(takeNumber(text, 8, 3));
    } else {
        out.addByte(c);
        text.remove_prefix(1);
    }
}

// Text up to the unescaped `close`; `text` is left after it. Nothing when
// the line ends first.
std::optional<std::string> takeEscaped(std::string_view& text, char close)
{
    TextBuilder out;
    while (!text.empty() && text.front() != close) {
        const char c = text.front();
        text.remove_prefix(1);
        if (c == '\\' && !text.empty())
            addEscape(text, out);
        else
            out.addByte(c);
    }
    if (text.empty())
        return std::nullopt;
    text.remove_prefix(1);
    return out.take();
}

std::optional<RegistryValue> stringValue(std::uint32_t type, std::string_view text)
{
    auto string = takeEscaped(text, '"');
    if (!string)
        return std::nullopt;
    if (type == std::uint32_t(RegistryType::String))
        return RegistryValue::string(std::move(*string));
    if (type == std::uint32_t(RegistryType::ExpandString))
        return RegistryValue::expandString(std::move(*string));
    if (type == std::uint32_t(RegistryType::MultiString))
        return RegistryValue::multiString(splitMultiString(*string));
    return RegistryValue::raw(type, utf16LeFromUtf8(*string));
}

class Reader {
public:
    explicit Reader(std::string_view text) : rest_(text) {}

    std::optional<RegistryValue> find(std::string_view key, std::string_view name)
    {
        const std::string wantedKey = foldedName(key);
        const std::string wantedName = foldedName(name);
        if (nextLine() != wineHeader)
            return std::nullopt;
        bool inKey = false;
        while (!rest_.empty()) {
            std::string_view line = nextLine();
            if (line.starts_with('[')) {
                line.remove_prefix(1);
                const auto path = takeEscaped(line, ']');
                inKey = path && foldedName(*path) == wantedKey;
            } else if (inKey && (line.starts_with('"') || line.starts_with('@'))) {
                if (auto value = valueIfNamed(line, wantedName))
                    return value;
            }
        }
        return std::nullopt;
    }

private:
    std::string_view nextLine()
    {
        const auto end = rest_.find('\n');
        std::string_view line = rest_.substr(0, end);
        rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        return line;
    }

    std::optional<RegistryValue> valueIfNamed(std::string_view line, std::string_view wantedName)
    {
        std::optional<std::string> name;
        if (line.front() == '@')
            name = std::string();
        line.remove_prefix(1);
        if (!name)
            name = takeEscaped(line, '"');
        if (!name || foldedName(*name) != wantedName || !line.starts_with('='))
            return std::nullopt;
        line.remove_prefix(1);
        return data(line);
    }

    std::optional<RegistryValue> data(std::string_view text)
    {
        if (text.starts_with('"'))
            return stringValue(std::uint32_t(RegistryType::String), text.substr(1));
        if (startsWithFolded(text, "str(")) {
            const auto close = text.find("):\"");
            const auto type = close == std::string_view::npos ? std::nullopt : parseHexNumber(text.substr(4, close - 4));
            return type ? stringValue(*type, text.substr(close + 3)) : std::nullopt;
        }
        if (startsWithFolded(text, "dword:")) {
            const auto number = parseHexNumber(text.substr(6));
            return number ? std::optional(RegistryValue::dword(*number)) : std::nullopt;
        }
        if (startsWithFolded(text, "hex"))
            return hexValue(text.substr(3));
        return std::nullopt;
    }

    std::optional<RegistryValue> hexValue(std::string_view text)
    {
        std::optional<std::uint32_t> type = std::uint32_t(RegistryType::Binary);
        if (!text.starts_with(':')) {
            const auto close = text.find("):");
            type = text.starts_with('(') && close != std::string_view::npos
                ? parseHexNumber(text.substr(1, close - 1))
                : std::nullopt;
            text.remove_prefix(type ? close + 1 : 0);
        }
        if (!type)
            return std::nullopt;
        text.remove_prefix(1);
        std::string list;
        while (takeContinuation(text)) {
            list += text;
            text = nextLine();
        }
        const auto bytes = parseHexByteList(list + std::string(text));
        return bytes ? std::optional(valueFromRegistryBytes(*type, *bytes, true)) : std::nullopt;
    }

    std::string_view rest_;
};

} // namespace

std::optional<RegistryValue> findWineRegistryValue(std::string_view fileText, std::string_view key,
                                                   std::string_view name)
{
    return Reader(fileText).find(key, name);
}

std::optional<RegistryValue> readWineRegistryValue(const std::string& userRegPath, std::string_view key,
                                                   std::string_view name)
{
    ByteBuffer bytes;
    FileIdentity identity;
    if (!readWholeFile(userRegPath, bytes, identity).ok())
        return std::nullopt;
    return findWineRegistryValue(bytes.view(), key, name);
}

} // namespace dw::platform
