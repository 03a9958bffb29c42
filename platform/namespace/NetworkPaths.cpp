// SPDX-License-Identifier: MIT
#include "platform/namespace/NetworkPaths.h"

#include "platform/namespace/DisplayText.h"

#include <array>

namespace dw::platform {

namespace {

bool isNetworkName(std::string_view name)
{
    return name.size() > 2 && name[0] == '/' && name[1] == '/';
}

// "." and ".." have no place below a share: they could lead out of it.
bool hasDotComponent(std::string_view path)
{
    for (std::size_t at = 0; at < path.size();) {
        const std::size_t slash = path.find('/', at);
        const std::string_view component = path.substr(at, slash == std::string_view::npos ? path.npos : slash - at);
        if (component == "." || component == "..")
            return true;
        if (slash == std::string_view::npos)
            break;
        at = slash + 1;
    }
    return false;
}

std::string mountName(const std::string& mountPoint)
{
    const std::size_t slash = mountPoint.rfind('/');
    return slash == std::string::npos || slash + 1 == mountPoint.size() ? mountPoint : mountPoint.substr(slash + 1);
}

std::string withMount(const std::string& unc, const std::string& mount)
{
    return unc + " (" + mount + ")";
}

// What tells `volume` apart from other mounts of the same export: nothing
// when there are none; else its mount point's name, or its whole path when
// another mount (or another export's own name) has that name too.
std::string distinction(const std::vector<Volume>& volumes, const Volume& volume, const std::string& unc)
{
    const std::string name = mountName(volume.mountPoint);
    bool twin = false;
    bool nameTaken = false;
    for (const Volume& other : volumes) {
        const auto share = other.mountPoint == volume.mountPoint ? std::nullopt : networkShareName(other);
        if (!share)
            continue;
        const std::string otherUnc = uncName(*share);
        if (otherUnc == unc) {
            twin = true;
            nameTaken |= mountName(other.mountPoint) == name;
        } else {
            nameTaken |= otherUnc == withMount(unc, name);
        }
    }
    if (!twin)
        return {};
    return nameTaken ? volume.mountPoint : name;
}

bool covers(std::string_view name, const std::string& shareName)
{
    return name.substr(0, shareName.size()) == shareName
        && (name.size() == shareName.size() || name[shareName.size()] == '/');
}

} // namespace

std::string uncName(const NetworkShareName& share)
{
    return "//" + share.server + "/" + share.share;
}

std::optional<ShareNames> shareNamesOf(const std::vector<Volume>& volumes, const Volume& volume)
{
    const auto share = networkShareName(volume);
    if (!share)
        return std::nullopt;
    const std::string unc = uncName(*share);
    const std::string apart = distinction(volumes, volume, unc);
    ShareNames names;
    names.parsing = apart.empty() ? unc : withMount(unc, apart);
    names.shown = displayTextFromBytes(share->share.empty() ? "/" : share->share)
        + (apart.empty() ? std::string() : " (" + displayTextFromBytes(apart) + ")") + " on "
        + displayTextFromBytes(share->server);
    return names;
}

std::optional<ShareMatch> matchShareName(const std::vector<Volume>& volumes, std::string_view name)
{
    std::optional<ShareMatch> best;
    std::size_t bestLength = 0;
    for (const Volume& volume : volumes) {
        const auto share = networkShareName(volume);
        if (!share)
            continue;
        const std::string unc = uncName(*share);
        const std::array<std::string, 3> names{unc, withMount(unc, mountName(volume.mountPoint)),
                                               withMount(unc, volume.mountPoint)};
        for (const std::string& shareName : names) {
            if (covers(name, shareName) && shareName.size() > bestLength) {
                best = ShareMatch{&volume, name.substr(shareName.size())};
                bestLength = shareName.size();
            }
        }
    }
    return best;
}

std::optional<std::string> localPathOfParsingName(const std::vector<Volume>& volumes, const std::string& name)
{
    if (name.find('\0') != std::string::npos)
        return std::nullopt;
    if (!isNetworkName(name))
        return !name.empty() && name.front() == '/' ? std::optional<std::string>(name) : std::nullopt;
    const auto match = matchShareName(volumes, name);
    if (!match || hasDotComponent(match->rest))
        return std::nullopt;
    return match->volume->mountPoint + std::string(match->rest);
}

} // namespace dw::platform
