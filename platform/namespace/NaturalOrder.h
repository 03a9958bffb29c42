// SPDX-License-Identifier: MIT
#pragma once
// Name order of the namespace: natural ("Cal9" before "Cal10") and
// case-insensitive, in every locale.

#include <string>
#include <string_view>

namespace dw::platform {

// Negative, 0 or positive. Names that collate equal but differ in bytes are
// ordered by their bytes, so distinct names never compare equal.
int compareNames(std::string_view first, std::string_view second);

// A name's place in that order, computed once as bytes: sorting a folder of
// 100,000 entries then compares keys with memcmp instead of collating names
// again and again. Keys may be made on any thread and compared on any other.
class NameSortKey {
public:
    explicit NameSortKey(std::string_view name, char group = 0);

    // The same answer as compareNames on the two names (within a group;
    // lower groups first).
    int compare(const NameSortKey& other) const;
    const std::string& bytes() const { return key_; }

private:
    // The group, the collation bytes, a 0 (which collation bytes never
    // hold), then the name itself: one memcmp orders by group, then by
    // collation, and names that collate equal by their bytes.
    std::string key_;
};

} // namespace dw::platform
