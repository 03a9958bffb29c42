// SPDX-License-Identifier: MIT
#pragma once
// What the statements of a settings file leave when they are imported in
// order, as the registry editor imports them: the keys with their values.
//
// Only the keys the file names are kept, ordered by their folded paths; a
// key above them exists because they do, and is found by an ordered lookup
// of the keys below it, so a key line of thousands of levels costs its
// length and no more. Removing a key removes the keys below it in one
// ordered range, and keeps its parent: importing the key made the parent,
// and removing the key does not take it away.

#include "platform/settings/RegExportParser.h"
#include "platform/settings/RegistryValue.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dw::platform {

class KeysInForce {
public:
    KeysInForce() = default;
    explicit KeysInForce(const std::vector<RegStatement>& statements);

    // `foldedKey` is a key path as foldedName() gives it; "" is the user's root.
    bool hasKey(std::string_view foldedKey) const;
    std::optional<RegistryValue> value(std::string_view foldedKey, std::string_view foldedValueName) const;

private:
    using Values = std::map<std::string, RegistryValue, std::less<>>; // by folded name
    using Keys = std::map<std::string, Values, std::less<>>;          // by folded path

    void removeKeyAndBelow(const std::string& folded);
    bool hasKeyBelow(std::string_view folded) const;

    Keys keys_;
};

} // namespace dw::platform
