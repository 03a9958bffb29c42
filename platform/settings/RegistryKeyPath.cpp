// SPDX-License-Identifier: MIT
#include "platform/settings/RegistryKeyPath.h"

namespace dw::platform {

std::string keyPathInUserBranch(std::string_view written)
{
    for (std::string_view root : {"hkey_current_user", "hkcu"}) {
        if (startsWithFolded(written, root)
            && (written.size() == root.size() || written[root.size()] == '\\')) {
            written.remove_prefix(root.size());
            break;
        }
    }
    while (!written.empty() && written.front() == '\\')
        written.remove_prefix(1);
    while (!written.empty() && written.back() == '\\')
        written.remove_suffix(1);
    return std::string(written);
}

std::string foldedName(std::string_view name)
{
    std::string folded(name);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return folded;
}

bool startsWithFolded(std::string_view text, std::string_view foldedPrefix)
{
    return text.size() >= foldedPrefix.size() && foldedName(text.substr(0, foldedPrefix.size())) == foldedPrefix;
}

bool isSameOrBelow(std::string_view key, std::string_view ancestor)
{
    if (ancestor.empty())
        return true;
    if (!key.starts_with(ancestor))
        return false;
    return key.size() == ancestor.size() || key[ancestor.size()] == '\\';
}

} // namespace dw::platform
