// SPDX-License-Identifier: MIT
#pragma once
// Turning the exact bytes of names and paths into text for people, and into
// the URI-like parsing names of the virtual folders. Only display may be
// lossy: the bytes themselves stay in the ids and paths.

#include <optional>
#include <string>
#include <string_view>

namespace dw::platform {

// UTF-8 text for a name with any bytes: invalid sequences and control
// characters (newline, tab...) become U+FFFD.
std::string displayTextFromBytes(std::string_view bytes);

// Percent-encodes every byte outside the unreserved set of URIs (and "/").
std::string percentEncode(std::string_view bytes);
// Decodes %XX escapes; nothing for a malformed escape.
std::optional<std::string> percentDecode(std::string_view text);

} // namespace dw::platform
