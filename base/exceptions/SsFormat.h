// SPDX-License-Identifier: MIT
#pragma once
// Message formatting in the printf family's notation, for message-table texts.
//
// A specifier is "%" [index ":"] ["-"] [width] ["." precision] type, with
// type d (signed), u (unsigned), x (lower-case hexadecimal), X (upper-case),
// s (text), f, e, g (floating point), and "%%" for a percent sign. An index
// picks an argument by position (from 0); later specifiers go on from there.
//
// Formatting never fails: a specifier without an argument stays in the text as
// written, and an argument of another kind than the specifier asks for is
// shown in its own natural form. Error messages are built while an error is
// being raised, and a second error there would hide the first.

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <variant>

class SsFormatArg {
public:
    using Value = std::variant<std::int64_t, std::uint64_t, double, std::string>;

    SsFormatArg(int value) : m_value(std::int64_t(value)) {}
    SsFormatArg(long value) : m_value(std::int64_t(value)) {}
    SsFormatArg(long long value) : m_value(std::int64_t(value)) {}
    SsFormatArg(unsigned value) : m_value(std::uint64_t(value)) {}
    SsFormatArg(unsigned long value) : m_value(std::uint64_t(value)) {}
    SsFormatArg(unsigned long long value) : m_value(std::uint64_t(value)) {}
    SsFormatArg(double value) : m_value(value) {}
    SsFormatArg(const char* value) : m_value(std::string(value ? value : "")) {}
    SsFormatArg(std::string_view value) : m_value(std::string(value)) {}
    SsFormatArg(std::string value) : m_value(std::move(value)) {}

    const Value& value() const { return m_value; }

private:
    Value m_value;
};

std::string SsFormat(std::string_view format, std::span<const SsFormatArg> args);

inline std::string SsFormat(std::string_view format, std::initializer_list<SsFormatArg> args)
{
    return SsFormat(format, std::span<const SsFormatArg>(args.begin(), args.size()));
}
