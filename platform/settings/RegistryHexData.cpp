// SPDX-License-Identifier: MIT
#include "platform/settings/RegistryHexData.h"

#include "base/text/SsHexDigits.h"

#include "platform/settings/TextTrimming.h"
#include "platform/settings/Utf16Text.h"

namespace dw::platform {

namespace {

std::string textOfStringBytes(std::string_view bytes, bool wideStrings)
{
    std::string text = wideStrings ? utf8FromUtf16Le(bytes) : std::string(bytes);
    if (!text.empty() && text.back() == '\0')
        text.pop_back();
    return text;
}

std::uint32_t littleEndianNumber(std::string_view bytes)
{
    std::uint32_t number = 0;
    for (std::size_t i = 0; i < 4; ++i)
        number |= std::uint32_t(static_cast<unsigned char>(bytes[i])) << (8 * i);
    return number;
}

std::string stringBytesWithTerminator(std::string_view text, bool wideStrings)
{
    std::string bytes = wideStrings ? utf16LeFromUtf8(text) : std::string(text);
    bytes.append(wideStrings ? 2 : 1, '\0');
    return bytes;
}

} // namespace

int hexDigitValue(char c)
{
    return ss::HexDigitValue(c);
}

std::optional<std::uint32_t> parseHexNumber(std::string_view digits)
{
    if (digits.empty() || digits.size() > 8)
        return std::nullopt;
    std::uint32_t number = 0;
    for (char c : digits) {
        const int digit = hexDigitValue(c);
        if (digit < 0)
            return std::nullopt;
        number = number * 16 + std::uint32_t(digit);
    }
    return number;
}

std::optional<std::string> parseHexByteList(std::string_view list)
{
    std::string bytes;
    list = trimmedOfBlanks(list);
    while (!list.empty()) {
        const auto comma = list.find(',');
        const std::string_view digits = trimmedOfBlanks(list.substr(0, comma));
        const auto byte = digits.size() <= 2 ? parseHexNumber(digits) : std::nullopt;
        if (!byte)
            return std::nullopt;
        bytes += char(*byte);
        if (comma == std::string_view::npos)
            break;
        list = trimmedOfBlanks(list.substr(comma + 1));
    }
    return bytes;
}

bool takeContinuation(std::string_view& piece)
{
    piece = trimmedOfBlanks(piece);
    if (piece.empty() || piece.back() != '\\')
        return false;
    piece.remove_suffix(1);
    return true;
}

std::vector<std::string> splitMultiString(std::string_view text)
{
    std::vector<std::string> strings;
    while (!text.empty()) {
        const auto nul = text.find('\0');
        strings.emplace_back(text.substr(0, nul));
        if (nul == std::string_view::npos)
            break;
        text.remove_prefix(nul + 1);
    }
    return strings;
}

RegistryValue valueFromRegistryBytes(std::uint32_t type, std::string_view bytes, bool wideStrings)
{
    switch (RegistryType(type)) {
    case RegistryType::String:
        return RegistryValue::string(textOfStringBytes(bytes, wideStrings));
    case RegistryType::ExpandString:
        return RegistryValue::expandString(textOfStringBytes(bytes, wideStrings));
    case RegistryType::MultiString:
        return RegistryValue::multiString(splitMultiString(textOfStringBytes(bytes, wideStrings)));
    case RegistryType::Binary:
        return RegistryValue::binary(std::string(bytes));
    case RegistryType::DWord:
        if (bytes.size() == 4)
            return RegistryValue::dword(littleEndianNumber(bytes));
        break;
    default:
        break;
    }
    return RegistryValue::raw(type, std::string(bytes));
}

std::string registryBytesOfValue(const RegistryValue& value, bool wideStrings)
{
    if (value.isString())
        return stringBytesWithTerminator(value.text(), wideStrings);
    if (value.is(RegistryType::MultiString)) {
        std::string bytes;
        for (const auto& string : value.strings())
            bytes += stringBytesWithTerminator(string, wideStrings);
        return bytes + stringBytesWithTerminator("", wideStrings);
    }
    if (value.is(RegistryType::DWord) && value.bytes().empty()) {
        std::string bytes(4, '\0');
        for (std::size_t i = 0; i < 4; ++i)
            bytes[i] = char((value.number() >> (8 * i)) & 0xFF);
        return bytes;
    }
    return value.bytes();
}

} // namespace dw::platform

