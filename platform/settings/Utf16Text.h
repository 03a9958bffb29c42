// SPDX-License-Identifier: MIT
#pragma once
// UTF-16LE bytes to the program's 8-bit strings and back, losing nothing.
//
// The registry keeps its strings as UTF-16LE; the program's strings are UTF-8
// bytes, and a Linux path need not be valid UTF-8. A byte that is not part of
// valid UTF-8 travels as a lone low surrogate U+DC80..U+DCFF and comes back as
// that byte, so any 8-bit string survives the way there and back exactly.

#include <string>
#include <string_view>

namespace dw::platform {

// `bytes` as UTF-16LE code units (a last odd byte is left out). A lone
// surrogate outside U+DC80..U+DCFF stands for a character lost before us and
// becomes U+FFFD.
std::string utf8FromUtf16Le(std::string_view bytes);

std::string utf16LeFromUtf8(std::string_view text);

} // namespace dw::platform
