// SPDX-License-Identifier: MIT
#include "platform/settings/RegExportWriter.h"

#include "platform/settings/RegistryHexData.h"

namespace dw::platform {

namespace {

// Lines of byte lists are kept within the width the registry editor uses.
constexpr std::size_t lineWidth = 80;
constexpr char hexDigits[] = "0123456789abcdef";

std::string quoted(std::string_view text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out + '"';
}

std::string nameField(std::string_view name)
{
    return name.empty() ? "@" : quoted(name);
}

bool fitsOnOneQuotedLine(std::string_view text)
{
    return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

std::string hexPrefix(std::uint32_t type)
{
    if (type == std::uint32_t(RegistryType::Binary))
        return "hex:";
    std::string number;
    do {
        number.insert(number.begin(), hexDigits[type % 16]);
        type /= 16;
    } while (type != 0);
    return "hex(" + number + "):";
}

std::vector<std::string> byteListLines(std::string first, std::string_view bytes)
{
    std::vector<std::string> lines;
    std::string line = std::move(first);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        line += hexDigits[byte >> 4];
        line += hexDigits[byte & 0x0F];
        if (i + 1 == bytes.size())
            break;
        line += ',';
        if (line.size() + 3 >= lineWidth - 2) {
            lines.push_back(line + '\\');
            line = "  ";
        }
    }
    lines.push_back(std::move(line));
    return lines;
}

} // namespace

std::string regKeyLine(std::string_view key)
{
    return "[" + std::string(key) + "]";
}

std::vector<std::string> regValueLines(std::string_view name, const RegistryValue& value, bool wideStrings)
{
    const std::string start = nameField(name) + "=";
    if (value.is(RegistryType::String) && fitsOnOneQuotedLine(value.text()))
        return {start + quoted(value.text())};
    if (value.is(RegistryType::DWord) && value.bytes().empty()) {
        std::string number(8, '0');
        for (std::size_t i = 0; i < 8; ++i)
            number[7 - i] = hexDigits[(value.number() >> (4 * i)) & 0x0F];
        return {start + "dword:" + number};
    }
    return byteListLines(start + hexPrefix(value.typeNumber()), registryBytesOfValue(value, wideStrings));
}

} // namespace dw::platform
