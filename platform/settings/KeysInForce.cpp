// SPDX-License-Identifier: MIT
#include "platform/settings/KeysInForce.h"

#include "platform/settings/RegistryKeyPath.h"

namespace dw::platform {

namespace {

// Every path below `folded` starts with this...
std::string belowPrefix(std::string_view folded)
{
    return std::string(folded) + '\\';
}

// ...and sorts before this: "]" follows "\" in byte order.
std::string pastBelow(std::string_view folded)
{
    return std::string(folded) + ']';
}

std::string_view parentOf(std::string_view folded)
{
    const auto slash = folded.rfind('\\');
    return slash == std::string_view::npos ? std::string_view() : folded.substr(0, slash);
}

} // namespace

KeysInForce::KeysInForce(const std::vector<RegStatement>& statements)
{
    Values* current = nullptr; // values after a removal line belong to no key
    for (const auto& statement : statements) {
        switch (statement.kind) {
        case RegStatementKind::Key:
            current = &keys_[foldedName(statement.key)];
            break;
        case RegStatementKind::DeleteKey:
            removeKeyAndBelow(foldedName(statement.key));
            current = nullptr;
            break;
        case RegStatementKind::Value:
            if (current)
                current->insert_or_assign(foldedName(statement.name), *statement.value);
            break;
        case RegStatementKind::DeleteValue:
            if (current)
                current->erase(foldedName(statement.name));
            break;
        }
    }
}

void KeysInForce::removeKeyAndBelow(const std::string& folded)
{
    if (folded.empty()) {
        keys_.clear();
        return;
    }
    const bool removedItself = keys_.erase(folded) > 0;
    const auto first = keys_.lower_bound(belowPrefix(folded));
    const auto last = keys_.lower_bound(pastBelow(folded));
    const bool removedBelow = first != last;
    keys_.erase(first, last);
    const std::string_view parent = parentOf(folded);
    if ((removedItself || removedBelow) && !parent.empty())
        keys_.try_emplace(std::string(parent));
}

bool KeysInForce::hasKeyBelow(std::string_view folded) const
{
    const std::string prefix = belowPrefix(folded);
    const auto below = keys_.lower_bound(prefix);
    return below != keys_.end() && below->first.starts_with(prefix);
}

bool KeysInForce::hasKey(std::string_view foldedKey) const
{
    return foldedKey.empty() || keys_.contains(foldedKey) || hasKeyBelow(foldedKey);
}

std::optional<RegistryValue> KeysInForce::value(std::string_view foldedKey, std::string_view foldedValueName) const
{
    const auto key = keys_.find(foldedKey);
    if (key == keys_.end())
        return std::nullopt;
    const auto value = key->second.find(foldedValueName);
    if (value == key->second.end())
        return std::nullopt;
    return value->second;
}

} // namespace dw::platform
