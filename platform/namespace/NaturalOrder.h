#pragma once
// Name order of the namespace: natural ("Cal9" before "Cal10") and
// case-insensitive, in every locale.

#include <string_view>

namespace dw::platform {

// Negative, 0 or positive. Names that collate equal but differ in bytes are
// ordered by their bytes, so distinct names never compare equal.
int compareNames(std::string_view first, std::string_view second);

} // namespace dw::platform
