// SPDX-License-Identifier: MIT
#pragma once
// text/uri-list, the list of dragged files other Linux programs offer and
// take: one URL a line, each line ended by CR LF, lines starting with "#"
// are comments. Files are file:// URLs whose path keeps every byte of the
// name: anything but letters, digits, "-._~" and "/" is percent-encoded.
//
// Lists from other programs are untrusted. The decoder takes only file://
// URLs of this machine (no host, "localhost" or this machine's name), with
// an absolute path that percent-decodes to exact bytes; it refuses the
// whole list when any URL is of another scheme or host, has a query or a
// fragment, a bad escape, an escaped "/" or NUL, or a "." or ".."
// component, and lists of more than kMaxUriListBytes or kMaxUriListEntries.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dw::platform {

inline constexpr std::size_t kMaxUriListBytes = 16u << 20;
inline constexpr std::size_t kMaxUriListEntries = 65536;
inline constexpr std::size_t kMaxUriPathBytes = 4096;

// file:// URL of an absolute path.
std::string fileUrlOf(std::string_view path);

// The text/uri-list of absolute paths.
std::string encodeUriList(const std::vector<std::string>& paths);

enum class UriListError {
    None,
    TooLarge,     // over the byte or entry limit
    Empty,        // no URL at all
    NotLocalFile, // another scheme, or a host that is not this machine
    BadPath,      // relative, bad escape, NUL, "." or "..", query, fragment, too long
};

// The paths of `text`, in order, with repeated slashes and a trailing slash
// dropped; nothing (and `error` says why) when any entry is refused.
// `localHostName` is this machine's name (see localHostName()).
std::optional<std::vector<std::string>> decodeUriList(std::string_view text, std::string_view localHostName,
                                                      UriListError* error = nullptr);

// This machine's host name, as file URLs of other programs may carry it.
std::string localHostName();

// A short sentence for the user: why dropped URLs were refused.
std::string describeUriListError(UriListError error);

} // namespace dw::platform
