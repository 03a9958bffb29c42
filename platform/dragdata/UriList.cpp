// SPDX-License-Identifier: MIT
#include "platform/dragdata/UriList.h"

#include "platform/namespace/DisplayText.h"

#include <climits>
#include <unistd.h>

namespace dw::platform {

namespace {

constexpr std::string_view kFileScheme = "file://";

bool equalsIgnoringCase(std::string_view first, std::string_view second)
{
    if (first.size() != second.size())
        return false;
    for (std::size_t i = 0; i < first.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(first[i]) != lower(second[i]))
            return false;
    }
    return true;
}

bool isLocalHost(std::string_view host, std::string_view localHostName)
{
    return host.empty() || equalsIgnoringCase(host, "localhost")
        || (!localHostName.empty() && equalsIgnoringCase(host, localHostName));
}

// The exact bytes of an encoded path; nothing for a bad escape, a NUL, a
// query, a fragment, or an escaped "/" (no name holds one).
std::optional<std::string> decodedPath(std::string_view encoded)
{
    if (encoded.find_first_of(std::string_view("?#\0", 3)) != std::string_view::npos
        || encoded.find("%2F") != std::string_view::npos || encoded.find("%2f") != std::string_view::npos)
        return std::nullopt;
    std::optional<std::string> path = percentDecode(encoded);
    if (!path || path->find('\0') != std::string::npos)
        return std::nullopt;
    return path;
}

// Drops repeated and trailing slashes; false for a "." or ".." component.
bool normalisePath(std::string& path)
{
    std::string normal;
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string_view component(path.data() + start, end - start);
        if (component == "." || component == "..")
            return false;
        if (!component.empty()) {
            normal += '/';
            normal += component;
        }
        start = end + 1;
    }
    path = normal.empty() ? std::string("/") : normal;
    return true;
}

UriListError decodeEntry(std::string_view url, std::string_view localHostName, std::string& path)
{
    if (url.size() < kFileScheme.size() || !equalsIgnoringCase(url.substr(0, kFileScheme.size()), kFileScheme))
        return UriListError::NotLocalFile;
    const std::string_view rest = url.substr(kFileScheme.size());
    const std::size_t slash = rest.find('/');
    const std::string_view host = rest.substr(0, slash);
    if (!isLocalHost(host, localHostName))
        return UriListError::NotLocalFile;
    if (slash == std::string_view::npos)
        return UriListError::BadPath;
    const std::string_view encoded = rest.substr(slash);
    std::optional<std::string> decoded =
        encoded.size() <= 3 * kMaxUriPathBytes ? decodedPath(encoded) : std::nullopt;
    if (!decoded || decoded->size() > kMaxUriPathBytes || !normalisePath(*decoded))
        return UriListError::BadPath;
    path = std::move(*decoded);
    return UriListError::None;
}

std::string_view trimLineEnd(std::string_view line)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    return line;
}

std::optional<std::vector<std::string>> refuse(UriListError why, UriListError* error)
{
    if (error)
        *error = why;
    return std::nullopt;
}

} // namespace

std::string fileUrlOf(std::string_view path)
{
    return std::string(kFileScheme) + percentEncode(path);
}

std::string encodeUriList(const std::vector<std::string>& paths)
{
    std::string list;
    for (const std::string& path : paths) {
        list += fileUrlOf(path);
        list += "\r\n";
    }
    return list;
}

std::optional<std::vector<std::string>> decodeUriList(std::string_view text, std::string_view localHostName,
                                                      UriListError* error)
{
    if (error)
        *error = UriListError::None;
    if (text.size() > kMaxUriListBytes)
        return refuse(UriListError::TooLarge, error);
    std::vector<std::string> paths;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = trimLineEnd(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line.front() == '#')
            continue;
        if (paths.size() == kMaxUriListEntries)
            return refuse(UriListError::TooLarge, error);
        std::string path;
        if (const UriListError refused = decodeEntry(line, localHostName, path); refused != UriListError::None)
            return refuse(refused, error);
        paths.push_back(std::move(path));
    }
    if (paths.empty())
        return refuse(UriListError::Empty, error);
    return paths;
}

std::string localHostName()
{
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return {};
    return name;
}

std::string describeUriListError(UriListError error)
{
    switch (error) {
    case UriListError::None:
        return {};
    case UriListError::TooLarge:
        return "Too many items are dragged at once.";
    case UriListError::Empty:
        return "The dragged data names no item.";
    case UriListError::NotLocalFile:
        return "Only files and folders of this computer can be dropped here.";
    case UriListError::BadPath:
        return "The dragged data names a file in a way this system does not accept.";
    }
    return {};
}

} // namespace dw::platform
