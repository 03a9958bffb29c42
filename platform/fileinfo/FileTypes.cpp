// SPDX-License-Identifier: MIT
#include "platform/fileinfo/FileTypes.h"

#include <QFile>
#include <QMimeDatabase>

#include <algorithm>
#include <cctype>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace dw::platform {

namespace {

// Browsing many folders meets many endings; past this many the cache
// starts afresh rather than growing without end. Descriptions are few and
// stay, so an index handed out once keeps its meaning.
constexpr std::size_t kMostEndingsKept = 10000;

struct TypeTable {
    std::mutex mutex;
    std::unordered_map<std::string, FileNameType> byEnding;
    std::vector<std::string> descriptions;
    std::unordered_map<std::string, int> indexOfDescription;

    int indexOf(const std::string& description)
    {
        const auto [found, added] = indexOfDescription.emplace(description, int(descriptions.size()));
        if (added)
            descriptions.push_back(description);
        return found->second;
    }
};

TypeTable& table()
{
    static TypeTable instance;
    return instance;
}

std::string_view baseNameOf(std::string_view name)
{
    const std::size_t slash = name.rfind('/');
    return slash == std::string_view::npos ? name : name.substr(slash + 1);
}

std::string endingKeyOf(std::string_view base)
{
    const std::size_t dot = base.find('.', 1);
    std::string key(dot == std::string_view::npos ? base : base.substr(dot));
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::tolower(c); });
    return key;
}

QMimeType mimeTypeOfName(std::string_view base)
{
    static const QMimeDatabase database;
    const QByteArray bytes(base.data(), qsizetype(base.size()));
    return database.mimeTypeForFile(QFile::decodeName(bytes), QMimeDatabase::MatchExtension);
}

} // namespace

FileNameType fileTypeOfName(std::string_view name)
{
    const std::string_view base = baseNameOf(name);
    std::string key = endingKeyOf(base);
    TypeTable& types = table();
    {
        std::lock_guard lock(types.mutex);
        if (const auto found = types.byEnding.find(key); found != types.byEnding.end())
            return found->second;
    }
    const QMimeType type = mimeTypeOfName(base);
    const bool known = type.isValid() && !type.isDefault();
    FileNameType answer;
    answer.iconName = type.isValid() ? type.iconName().toStdString() : "text-x-generic";
    std::lock_guard lock(types.mutex);
    answer.typeIndex = types.indexOf(known ? type.comment().toStdString() : std::string());
    if (types.byEnding.size() >= kMostEndingsKept)
        types.byEnding.clear();
    types.byEnding.emplace(std::move(key), answer);
    return answer;
}

std::string fileTypeDescription(int typeIndex)
{
    TypeTable& types = table();
    std::lock_guard lock(types.mutex);
    if (typeIndex < 0 || typeIndex >= int(types.descriptions.size()))
        return {};
    return types.descriptions[std::size_t(typeIndex)];
}

} // namespace dw::platform
