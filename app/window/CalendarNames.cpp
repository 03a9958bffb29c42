// SPDX-License-Identifier: MIT
#include "app/window/CalendarNames.h"

namespace dw::window {

namespace {

char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool hasCalendarExtension(std::string_view name)
{
    constexpr std::string_view extension = ".dw2";
    if (name.size() < extension.size())
        return false;
    const std::string_view tail = name.substr(name.size() - extension.size());
    for (std::size_t i = 0; i < extension.size(); ++i)
        if (asciiLower(tail[i]) != extension[i])
            return false;
    return true;
}

std::optional<std::string> calendarNameOf(const platform::ChildRecord& record)
{
    if (record.type != platform::EntryType::Regular)
        return std::nullopt;
    const std::string_view name = lastComponent(record.parsingName);
    if (!hasCalendarExtension(name))
        return std::nullopt;
    return std::string(name);
}

std::string withTrailingDelimiter(std::string path)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

std::string_view lastComponent(std::string_view path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace dw::window
