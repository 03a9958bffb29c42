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

// The part of a name its type depends on: everything after its first dot
// ("tar.gz" and "md" both count), or the whole name when it has none, in
// lower case. Numbers in it, but for the last extension ("mp3", "1"), stand
// for any number: "notes.12.md", "notes.13.md" and "a12", "a13" share their
// answer, so a folder of numbered files does not match each name anew.
std::string endingKeyOf(std::string_view base)
{
    const std::size_t dot = base.find('.', 1);
    const std::string_view ending = dot == std::string_view::npos ? base : base.substr(dot);
    const std::size_t keepFrom = dot == std::string_view::npos ? ending.size() : ending.rfind('.');
    std::string key;
    key.reserve(ending.size());
    for (std::size_t i = 0; i < ending.size(); ++i) {
        const auto c = static_cast<unsigned char>(ending[i]);
        if (i < keepFrom && std::isdigit(c)) {
            if (key.empty() || key.back() != '#')
                key.push_back('#');
            continue;
        }
        key.push_back(static_cast<char>(std::tolower(c)));
    }
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
