#include "platform/settings/RegistryValue.h"

namespace dw::platform {

namespace {

const std::string noText;
const std::vector<std::string> noStrings;

} // namespace

RegistryValue RegistryValue::string(std::string text)
{
    return {std::uint32_t(RegistryType::String), std::move(text)};
}

RegistryValue RegistryValue::expandString(std::string text)
{
    return {std::uint32_t(RegistryType::ExpandString), std::move(text)};
}

RegistryValue RegistryValue::dword(std::uint32_t number)
{
    return {std::uint32_t(RegistryType::DWord), number};
}

RegistryValue RegistryValue::binary(std::string bytes)
{
    return {std::uint32_t(RegistryType::Binary), std::move(bytes)};
}

RegistryValue RegistryValue::multiString(std::vector<std::string> strings)
{
    return {std::uint32_t(RegistryType::MultiString), std::move(strings)};
}

RegistryValue RegistryValue::raw(std::uint32_t type, std::string bytes)
{
    return {type, std::move(bytes)};
}

const std::string& RegistryValue::text() const
{
    const auto* text = std::get_if<std::string>(&payload_);
    return text && isString() ? *text : noText;
}

std::uint32_t RegistryValue::number() const
{
    const auto* number = std::get_if<std::uint32_t>(&payload_);
    return number ? *number : 0;
}

const std::vector<std::string>& RegistryValue::strings() const
{
    const auto* strings = std::get_if<std::vector<std::string>>(&payload_);
    return strings ? *strings : noStrings;
}

const std::string& RegistryValue::bytes() const
{
    const auto* bytes = std::get_if<std::string>(&payload_);
    return bytes && !isString() ? *bytes : noText;
}

} // namespace dw::platform
