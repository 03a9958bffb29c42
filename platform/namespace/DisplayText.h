// SPDX-License-Identifier: MIT
#pragma once
// Turning the exact bytes of names and paths into text for people, and into
// the URI-like parsing names of the virtual folders. Only display may be
// lossy: the bytes themselves stay in the ids and paths.

#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace dw::platform {

// UTF-8 text for a name with any bytes, as every view shows it (the folder
// tree, the calendar list, messages). A control character would break the
// line or vanish, so each one that has a control picture shows as that
// picture ("new\nline" as "new\u240Aline", DEL as U+2421); the C1 controls
// and the line and paragraph separators, which have none, and invalid
// sequences show as U+FFFD.
std::string displayTextFromBytes(std::string_view bytes);
// The same, as Qt text.
QString displayQStringFromBytes(std::string_view bytes);

// Percent-encodes every byte outside the unreserved set of URIs (and "/").
std::string percentEncode(std::string_view bytes);
// Decodes %XX escapes; nothing for a malformed escape.
std::optional<std::string> percentDecode(std::string_view text);

} // namespace dw::platform
