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
// line or vanish, so it shows as an escape that every font can draw:
// "new\nline" as the text `new\nline`, a tab as `\t`, ESC as `\x1B`; bytes
// that are no UTF-8 show as U+FFFD.
std::string displayTextFromBytes(std::string_view bytes);
// The same, as Qt text.
QString displayQStringFromBytes(std::string_view bytes);

// Percent-encodes every byte outside the unreserved set of URIs (and "/").
std::string percentEncode(std::string_view bytes);
// Decodes %XX escapes; nothing for a malformed escape.
std::optional<std::string> percentDecode(std::string_view text);

} // namespace dw::platform
