// SPDX-License-Identifier: MIT
#include "ClipboardFormats.h"

#include <algorithm>
#include <cctype>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace dw::platform {

namespace {

struct FormatTable {
    std::vector<std::string> names;                    // index i: format kFirstRegisteredFormat + i
    std::unordered_map<std::string, unsigned> byName; // folded name -> format
};

std::mutex g_mutex;

FormatTable& formats()
{
    static FormatTable table;
    return table;
}

std::string folded(std::string_view name)
{
    std::string key(name);
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return key;
}

} // namespace

unsigned RegisterClipboardFormat(std::string_view name)
{
    if (name.empty())
        return 0;
    std::lock_guard lock(g_mutex);
    FormatTable& table = formats();
    std::string key = folded(name);
    if (auto known = table.byName.find(key); known != table.byName.end())
        return known->second;
    if (table.names.size() > kLastRegisteredFormat - kFirstRegisteredFormat)
        return 0;
    const unsigned format = kFirstRegisteredFormat + unsigned(table.names.size());
    table.names.emplace_back(name);
    table.byName.emplace(std::move(key), format);
    return format;
}

std::string GetClipboardFormatName(unsigned format)
{
    std::lock_guard lock(g_mutex);
    const std::vector<std::string>& names = formats().names;
    if (format < kFirstRegisteredFormat || format - kFirstRegisteredFormat >= names.size())
        return {};
    return names[format - kFirstRegisteredFormat];
}

std::string ClipboardFormatMimeType(unsigned format)
{
    const std::string name = GetClipboardFormatName(format);
    if (name.empty())
        return {};
    std::string mime = "application/x-dw-clipboard-format;value=\"";
    for (char c : name) {
        if (c == '"' || c == '\\')
            mime += '\\';
        mime += c;
    }
    mime += '"';
    return mime;
}

} // namespace dw::platform
