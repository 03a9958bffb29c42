// SPDX-License-Identifier: MIT
#include "VersionNumber.h"

#include <cctype>
#include <charconv>
#include <clocale>

namespace dw::platform {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// Rewrites `text` into the "C" notation from_chars reads; false when it does
// not have the shape of a decimal number.
bool toCNotation(std::string_view text, std::string_view separator, std::string& out)
{
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        if (text[pos] == '-')
            out += '-';
        ++pos;
    }
    std::size_t digits = 0;
    while (pos < text.size() && isDigit(text[pos])) {
        out += text[pos++];
        ++digits;
    }
    if (!separator.empty() && text.substr(pos).starts_with(separator)) {
        pos += separator.size();
        out += '.';
        while (pos < text.size() && isDigit(text[pos])) {
            out += text[pos++];
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        out += 'e';
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
            out += text[pos++];
        std::size_t exponentDigits = 0;
        while (pos < text.size() && isDigit(text[pos])) {
            out += text[pos++];
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return false;
    }
    return pos == text.size();
}

} // namespace

std::string LocaleDecimalSeparator()
{
    const std::lconv* conventions = std::localeconv();
    if (!conventions || !conventions->decimal_point || !*conventions->decimal_point)
        return ".";
    return conventions->decimal_point;
}

std::optional<double> DecimalTextToNumber(std::string_view text, std::string_view separator)
{
    std::string cText;
    if (!toCNotation(trimmed(text), separator, cText))
        return std::nullopt;
    double value = 0;
    const auto result = std::from_chars(cText.data(), cText.data() + cText.size(), value);
    if (result.ec != std::errc() || result.ptr != cText.data() + cText.size())
        return std::nullopt;
    return value;
}

std::optional<double> VersionTextToNumber(std::string_view text, std::string_view separator)
{
    if (auto whole = DecimalTextToNumber(text, separator))
        return whole;
    std::string_view head = text;
    const std::size_t firstDot = head.find('.');
    if (firstDot != std::string_view::npos) {
        const std::size_t secondDot = head.find('.', firstDot + 1);
        if (secondDot != std::string_view::npos)
            head = head.substr(0, secondDot);
    }
    head = head.substr(0, 5);
    std::string shortened(head);
    if (const std::size_t dot = shortened.find('.'); dot != std::string::npos)
        shortened.replace(dot, 1, separator);
    return DecimalTextToNumber(shortened, separator);
}

} // namespace dw::platform
