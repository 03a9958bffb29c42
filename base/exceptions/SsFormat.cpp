#include "SsFormat.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <optional>

namespace {

struct Spec {
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
std::optional<Spec> parseSpec(std::string_view text, std::size_t& pos)
{
    Spec spec;
    std::size_t p = pos;
    const std::size_t afterPercent = p;
    if (auto number = readNumber(text, p); number && p < text.size() && text[p] == ':') {
        spec.index = *number;
        ++p;
    } else {
        p = afterPercent;
    }
    if (p < text.size() && text[p] == '-') {
        spec.leftAlign = true;
        ++p;
    }
    if (auto width = readNumber(text, p))
        spec.width = *width;
    if (p < text.size() && text[p] == '.') {
        ++p;
        spec.precision = readNumber(text, p).value_or(0);
    }
    if (p >= text.size())
        return std::nullopt;
    const char type = text[p];
    if (std::string_view("duxXsfeg").find(type) == std::string_view::npos)
        return std::nullopt;
    spec.type = type;
    pos = p + 1;
    return spec;
}

std::string padDigits(std::string digits, const Spec& spec)
{
    if (spec.precision && digits.size() < *spec.precision)
        digits.insert(0, *spec.precision - digits.size(), '0');
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

std::string signedText(std::int64_t value, const Spec& spec)
{
    if (value < 0) {
        const std::uint64_t magnitude = 0 - static_cast<std::uint64_t>(value);
        return "-" + padDigits(integerText(magnitude, 10, false), spec);
    }
    return padDigits(integerText(value, 10, false), spec);
}

std::string floatText(double value, const Spec& spec)
{
    const char format[] = {'%', '.', '*', spec.type == 'g' || spec.type == 'e' || spec.type == 'f' ? spec.type : 'g', 0};
    char buffer[512];
    const int precision = int(spec.precision.value_or(spec.type == 'g' ? 15 : 2));
    const int length = std::snprintf(buffer, sizeof buffer, format, precision, value);
    return length < 0 ? std::string() : std::string(buffer, std::size_t(std::min<int>(length, sizeof buffer - 1)));
}

std::string hexText(std::uint64_t value, const Spec& spec)
{
    return padDigits(integerText(value, 16, spec.type == 'X'), spec);
}

std::string render(const SsFormatArg& arg, const Spec& spec)
{
    const auto& value = arg.value();
    if (const auto* text = std::get_if<std::string>(&value)) {
        if (spec.type == 's' && spec.precision && text->size() > *spec.precision)
            return text->substr(0, *spec.precision);
        return *text;
    }
    if (const auto* real = std::get_if<double>(&value)) {
        Spec realSpec = spec;
        if (std::string_view("feg").find(spec.type) == std::string_view::npos) {
            realSpec.type = 'g';
            realSpec.precision = std::nullopt;
        }
        return floatText(*real, realSpec);
    }
    const bool isSigned = std::holds_alternative<std::int64_t>(value);
    const std::int64_t asSigned = isSigned ? std::get<std::int64_t>(value) : std::int64_t(std::get<std::uint64_t>(value));
    const std::uint64_t asUnsigned = isSigned ? std::uint64_t(asSigned) : std::get<std::uint64_t>(value);
    switch (spec.type) {
    case 'x':
    case 'X':
        return hexText(asUnsigned, spec);
    case 'u':
        return padDigits(integerText(asUnsigned, 10, false), spec);
    case 'f':
    case 'e':
    case 'g':
        return floatText(isSigned ? double(asSigned) : double(asUnsigned), spec);
    default:
        return isSigned ? signedText(asSigned, spec) : padDigits(integerText(asUnsigned, 10, false), spec);
    }
}

void appendAligned(std::string& out, const std::string& text, const Spec& spec)
{
    const std::size_t padding = spec.width > text.size() ? spec.width - text.size() : 0;
    if (!spec.leftAlign)
        out.append(padding, ' ');
    out += text;
    if (spec.leftAlign)
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
        std::optional<Spec> spec = parseSpec(format, pos);
        if (!spec) {
            out += '%';
            continue;
        }
        const std::size_t argIndex = spec->index.value_or(nextArg);
        if (argIndex >= args.size()) {
            out.append(format.substr(specStart, pos - specStart));
            continue;
        }
        nextArg = argIndex + 1;
        appendAligned(out, render(args[argIndex], *spec), *spec);
    }
    return out;
}
