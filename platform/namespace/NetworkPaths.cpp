// SPDX-License-Identifier: MIT
#include "platform/namespace/NetworkPaths.h"

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

} // namespace

std::string uncName(const NetworkShareName& share)
{
    return "//" + share.server + "/" + share.share;
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
        const bool covers = name.substr(0, unc.size()) == unc && (name.size() == unc.size() || name[unc.size()] == '/');
        if (covers && unc.size() > bestLength) {
            best = ShareMatch{&volume, name.substr(unc.size())};
            bestLength = unc.size();
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
