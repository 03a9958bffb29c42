// SPDX-License-Identifier: MIT
#pragma once
// One typed value of the settings store, as the registry types it.
//
// Strings are the program's 8-bit strings (UTF-8 bytes) and keep every byte,
// NULs included: whoever reads a string decides where it ends. Types without
// a shape of their own here (links, resource lists, 64-bit numbers, ...) keep
// their raw bytes under their type number, so nothing read is ever lost.

#include <cstdint>
#include <string>
#include <vector>

namespace dw::platform {

enum class RegistryType : std::uint32_t {
    None = 0,
    String = 1,
    ExpandString = 2,
    Binary = 3,
    DWord = 4,
    MultiString = 7,
};

class RegistryValue {
public:
    static RegistryValue string(std::string text);
    static RegistryValue expandString(std::string text);
    static RegistryValue dword(std::uint32_t number);
    static RegistryValue binary(std::string bytes);
    static RegistryValue multiString(std::vector<std::string> strings);
    // Any type number with its raw bytes, as a hex(N) line gives them.
    static RegistryValue raw(std::uint32_t type, std::string bytes);

    std::uint32_t typeNumber() const { return type_; }
    bool is(RegistryType type) const { return type_ == std::uint32_t(type); }
    bool isString() const { return is(RegistryType::String) || is(RegistryType::ExpandString); }

    // The text of a String or ExpandString, else "".
    const std::string& text() const;
    // The number of a DWord, else 0.
    std::uint32_t number() const;
    // The strings of a MultiString, else none.
    const std::vector<std::string>& strings() const;
    // The bytes of a Binary or of a raw value, else "".
    const std::string& bytes() const;

    bool operator==(const RegistryValue&) const = default;

private:
    explicit RegistryValue(std::uint32_t type) : type_(type) {}

    // Only the member of the value's shape is used; the others stay empty.
    std::uint32_t type_;
    std::string bytes_; // a string's text, or raw bytes
    std::uint32_t number_ = 0;
    std::vector<std::string> strings_;
};

} // namespace dw::platform
