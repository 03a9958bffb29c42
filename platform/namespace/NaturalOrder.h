#pragma once
// Name order of the namespace: natural ("Cal9" before "Cal10") and
// case-insensitive, in every locale.

#include <QCollatorSortKey>

#include <string_view>

namespace dw::platform {

// Negative, 0 or positive. Names that collate equal but differ in bytes are
// ordered by their bytes, so distinct names never compare equal.
int compareNames(std::string_view first, std::string_view second);

// The collation key compareNames orders a name by, for callers that keep
// names of their own: keys that compare equal leave the order to the bytes.
QCollatorSortKey naturalSortKey(std::string_view name);

} // namespace dw::platform
