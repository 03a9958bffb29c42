#include "ClipboardFormats.h"

#include <algorithm>
#include <cctype>
#include <mutex>
#include <vector>

namespace dw::platform {

namespace {

std::mutex g_mutex;

std::vector<std::string>& registeredNames()
{
    static std::vector<std::string> names; // index i holds format kFirstRegisteredFormat + i
    return names;
}

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

} // namespace

unsigned RegisterClipboardFormat(std::string_view name)
{
    if (name.empty())
        return 0;
    std::lock_guard lock(g_mutex);
    std::vector<std::string>& names = registeredNames();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (sameName(names[i], name))
            return kFirstRegisteredFormat + unsigned(i);
    }
    if (names.size() > kLastRegisteredFormat - kFirstRegisteredFormat)
        return 0;
    names.emplace_back(name);
    return kFirstRegisteredFormat + unsigned(names.size() - 1);
}

std::string GetClipboardFormatName(unsigned format)
{
    std::lock_guard lock(g_mutex);
    const std::vector<std::string>& names = registeredNames();
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
