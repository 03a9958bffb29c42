// SPDX-License-Identifier: MIT
#include "platform/settings/RegistryValue.h"

namespace dw::platform {

namespace {

const std::string noBytes;

} // namespace

RegistryValue RegistryValue::string(std::string text)
{
    return raw(std::uint32_t(RegistryType::String), std::move(text));
}

RegistryValue RegistryValue::expandString(std::string text)
{
    return raw(std::uint32_t(RegistryType::ExpandString), std::move(text));
}

RegistryValue RegistryValue::dword(std::uint32_t number)
{
    RegistryValue value(std::uint32_t(RegistryType::DWord));
    value.number_ = number;
    return value;
}

RegistryValue RegistryValue::binary(std::string bytes)
{
    return raw(std::uint32_t(RegistryType::Binary), std::move(bytes));
}

RegistryValue RegistryValue::multiString(std::vector<std::string> strings)
{
    RegistryValue value(std::uint32_t(RegistryType::MultiString));
    value.strings_ = std::move(strings);
    return value;
}

RegistryValue RegistryValue::raw(std::uint32_t type, std::string bytes)
{
    RegistryValue value(type);
    value.bytes_ = std::move(bytes);
    return value;
}

const std::string& RegistryValue::text() const
{
    return isString() ? bytes_ : noBytes;
}

std::uint32_t RegistryValue::number() const
{
    return number_;
}

const std::vector<std::string>& RegistryValue::strings() const
{
    return strings_;
}

const std::string& RegistryValue::bytes() const
{
    return isString() ? noBytes : bytes_;
}

} // namespace dw::platform
