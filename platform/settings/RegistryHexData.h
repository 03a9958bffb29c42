// SPDX-License-Identifier: MIT
#pragma once
// Values written as byte lists ("hex:", "hex(N):"), in both directions.
// Shared by the store's own file and by the reader of a Wine prefix.

#include "platform/settings/RegistryValue.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dw::platform {

// The value of one hexadecimal digit, or -1.
int hexDigitValue(char c);

// One to eight hexadecimal digits to their number; nothing for anything else.
std::optional<std::uint32_t> parseHexNumber(std::string_view digits);

// "43,00,3a,00" (white space and a trailing comma allowed, nothing else) to
// its bytes; nothing when the list is not well formed.
std::optional<std::string> parseHexByteList(std::string_view list);

// A byte list may go on over several lines, each but the last ending in a
// backslash. Answers whether `piece` does so, and leaves in it the piece
// without that backslash and without surrounding white space.
bool takeContinuation(std::string_view& piece);

// The typed value that `bytes` of registry type `type` stand for. With
// `wideStrings` (every format but the oldest) string bytes are UTF-16LE;
// otherwise they are 8-bit text already. A string's one terminating NUL is
// not part of its text; a multi-string's list ends at its empty string.
RegistryValue valueFromRegistryBytes(std::uint32_t type, std::string_view bytes, bool wideStrings);

// The bytes `value` is written as, strings with their terminating NUL: as
// UTF-16LE with `wideStrings`, else as the 8-bit text they are (the oldest
// format), so that valueFromRegistryBytes reads the same value back.
std::string registryBytesOfValue(const RegistryValue& value, bool wideStrings);

// The strings of a multi-string's text, its items each ended by a NUL.
std::vector<std::string> splitMultiString(std::string_view text);

} // namespace dw::platform
