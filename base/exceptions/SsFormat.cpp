// SPDX-License-Identifier: MIT
#include "SsFormat.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <optional>

namespace {

struct Directive {
    std::optional<std::size_t> index;
    bool leftAlign = false;
    std::size_t width = 0;
    std::optional<std::size_t> precision;
    char type = 0;
};

constexpr std::size_t kMaxWidth = 1024;

std::optional<std::size_t> readNumber(std::string_view text, std::size_t& pos)
{
    std::size_t value = 0;
    const std::size_t start = pos;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
        value = value * 10 + std::size_t(text[pos] - '0');
        if (value > kMaxWidth)
            value = kMaxWidth;
        ++pos;
    }
    if (pos == start)
        return std::nullopt;
    return value;
}

// Parses the specifier after '%' at `pos`; on success `pos` is past its type.
std::optional<Directive> parseDirective(std::string_view text, std::size_t& pos)
{
    Directive directive;
    std::size_t p = pos;
    const std::size_t afterPercent = p;
    if (auto number = readNumber(text, p); number && p < text.size() && text[p] == ':') {
        directive.index = *number;
        ++p;
    } else {
        p = afterPercent;
    }
    if (p < text.size() && text[p] == '-') {
        directive.leftAlign = true;
        ++p;
    }
    if (auto width = readNumber(text, p))
        directive.width = *width;
    if (p < text.size() && text[p] == '.') {
        ++p;
        directive.precision = readNumber(text, p).value_or(0);
    }
    if (p >= text.size())
        return std::nullopt;
    const char type = text[p];
    if (std::string_view("duxXsfeg").find(type) == std::string_view::npos)
        return std::nullopt;
    directive.type = type;
    pos = p + 1;
    return directive;
}

std::string padDigits(std::string digits, const Directive& directive)
{
    if (directive.precision && digits.size() < *directive.precision)
        digits.insert(0, *directive.precision - digits.size(), '0');
    return digits;
}

template <class Int>
std::string integerText(Int value, int base, bool upper)
{
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, base);
    std::string text(buffer, result.ptr);
    if (upper)
        for (char& c : text)
            c = char(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string signedText(std::int64_t value, const Directive& directive)
{
    if (value < 0) {
        const std::uint64_t magnitude = 0 - static_cast<std::uint64_t>(value);
        return "-" + padDigits(integerText(magnitude, 10, false), directive);
    }
    return padDigits(integerText(value, 10, false), directive);
}

std::string floatText(double value, const Directive& directive)
{
    const char format[] = {'%', '.', '*', directive.type == 'g' || directive.type == 'e' || directive.type == 'f' ? directive.type : 'g', 0};
    char buffer[512];
    const int precision = int(directive.precision.value_or(directive.type == 'g' ? 15 : 2));
    const int length = std::snprintf(buffer, sizeof buffer, format, precision, value);
    return length < 0 ? std::string() : std::string(buffer, std::size_t(std::min<int>(length, sizeof buffer - 1)));
}

std::string hexText(std::uint64_t value, const Directive& directive)
{
    return padDigits(integerText(value, 16, directive.type == 'X'), directive);
}

std::string render(const SsFormatArg& arg, const Directive& directive)
{
    const auto& value = arg.value();
    if (const auto* text = std::get_if<std::string>(&value)) {
        if (directive.type == 's' && directive.precision && text->size() > *directive.precision)
            return text->substr(0, *directive.precision);
        return *text;
    }
    if (const auto* real = std::get_if<double>(&value)) {
        Directive realSpec = directive;
        if (std::string_view("feg").find(directive.type) == std::string_view::npos) {
            realSpec.type = 'g';
            realSpec.precision = std::nullopt;
        }
        return floatText(*real, realSpec);
    }
    const bool isSigned = std::holds_alternative<std::int64_t>(value);
    const std::int64_t asSigned = isSigned ? std::get<std::int64_t>(value) : std::int64_t(std::get<std::uint64_t>(value));
    const std::uint64_t asUnsigned = isSigned ? std::uint64_t(asSigned) : std::get<std::uint64_t>(value);
    switch (directive.type) {
    case 'x':
    case 'X':
        return hexText(asUnsigned, directive);
    case 'u':
        return padDigits(integerText(asUnsigned, 10, false), directive);
    case 'f':
    case 'e':
    case 'g':
        return floatText(isSigned ? double(asSigned) : double(asUnsigned), directive);
    default:
        return isSigned ? signedText(asSigned, directive) : padDigits(integerText(asUnsigned, 10, false), directive);
    }
}

void appendAligned(std::string& out, const std::string& text, const Directive& directive)
{
    const std::size_t padding = directive.width > text.size() ? directive.width - text.size() : 0;
    if (!directive.leftAlign)
        out.append(padding, ' ');
    out += text;
    if (directive.leftAlign)
        out.append(padding, ' ');
}

} // namespace

std::string SsFormat(std::string_view format, std::span<const SsFormatArg> args)
{
    std::string out;
    out.reserve(format.size() + 16);
    std::size_t nextArg = 0;
    std::size_t pos = 0;
    while (pos < format.size()) {
        const char c = format[pos++];
        if (c != '%') {
            out += c;
            continue;
        }
        if (pos < format.size() && format[pos] == '%') {
            out += '%';
            ++pos;
            continue;
        }
        const std::size_t specStart = pos - 1;
        std::optional<Directive> directive = parseDirective(format, pos);
        if (!directive) {
            out += '%';
            continue;
        }
        const std::size_t argIndex = directive->index.value_or(nextArg);
        if (argIndex >= args.size()) {
            out.append(format.substr(specStart, pos - specStart));
            continue;
        }
        nextArg = argIndex + 1;
        appendAligned(out, render(args[argIndex], *directive), *directive);
    }
    return out;
}
