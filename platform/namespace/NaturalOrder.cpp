// SPDX-License-Identifier: MIT
#include "platform/namespace/NaturalOrder.h"

#include <QLocale>

#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include <memory>
#include <unordered_map>
#include <vector>

namespace dw::platform {

namespace {

// The user's locale; the C locale (which CI and many services run under)
// has no collation of its own, so it sorts as American English does.
std::string collationLocale()
{
    const QLocale system = QLocale::system();
    if (system.language() == QLocale::C || system.language() == QLocale::AnyLanguage)
        return "en_US";
    return system.name().toStdString();
}

struct CollatorCloser {
    void operator()(UCollator* collator) const { ucol_close(collator); }
};
using CollatorPtr = std::unique_ptr<UCollator, CollatorCloser>;

// Natural (numbers by value) and case-insensitive; punctuation counts.
// Collators are not thread-safe: one per thread.
UCollator* threadCollator()
{
    thread_local const CollatorPtr collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        CollatorPtr made(ucol_open(collationLocale().c_str(), &status));
        if (U_FAILURE(status))
            made.reset(ucol_open("", &(status = U_ZERO_ERROR)));
        if (made) {
            ucol_setAttribute(made.get(), UCOL_NUMERIC_COLLATION, UCOL_ON, &status);
            ucol_setAttribute(made.get(), UCOL_STRENGTH, UCOL_SECONDARY, &status);
            ucol_setAttribute(made.get(), UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
        }
        return made;
    }();
    return collator.get();
}

// Names are bytes: invalid UTF-8 is collated as U+FFFD (the bytes then
// still tell such names apart).
std::u16string utf16Of(std::string_view name)
{
    std::u16string text(name.size() + 1, u'\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(text.data(), static_cast<int32_t>(text.size()), &length, name.data(),
                         static_cast<int32_t>(name.size()), 0xFFFD, nullptr, &status);
    text.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
    return text;
}

std::string collationKeyOf(std::string_view name)
{
    UCollator* collator = threadCollator();
    if (!collator)
        return std::string(name);
    const std::u16string text = utf16Of(name);
    std::string key(text.size() * 4 + 16, '\0');
    for (;;) {
        const int32_t needed = ucol_getSortKey(collator, text.data(), static_cast<int32_t>(text.size()),
                                               reinterpret_cast<uint8_t*>(key.data()),
                                               static_cast<int32_t>(key.size()));
        if (needed <= static_cast<int32_t>(key.size())) {
            key.resize(needed > 0 ? static_cast<std::size_t>(needed - 1) : 0); // without its closing 0
            return key;
        }
        key.resize(static_cast<std::size_t>(needed));
    }
}

// Sorting by names compares every name many times; its key is computed
// once and kept. The cache is per thread and bounded so that browsing
// never grows it without limit.
struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>()(name); }
};

class SortKeyCache {
public:
    // The keys of two names. The cache makes room for both before looking
    // either up: emptying it in between would free the first key while it
    // is still in use. (Adding to the map keeps references to its elements.)
    std::pair<const std::string&, const std::string&> keysFor(std::string_view first, std::string_view second)
    {
        if (keys_.size() + 2 > kLimit)
            keys_.clear();
        const std::string& firstKey = keyFor(first);
        return {firstKey, keyFor(second)};
    }

private:
    const std::string& keyFor(std::string_view name)
    {
        auto found = keys_.find(name);
        if (found != keys_.end())
            return found->second;
        return keys_.emplace(std::string(name), collationKeyOf(name)).first->second;
    }

    static constexpr std::size_t kLimit = 400000;
    std::unordered_map<std::string, std::string, NameHash, std::equal_to<>> keys_;
};

int sign(int value)
{
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

int orderOf(std::string_view firstKey, std::string_view secondKey, std::string_view first, std::string_view second)
{
    if (const int order = firstKey.compare(secondKey); order != 0)
        return sign(order);
    return sign(first.compare(second));
}

} // namespace

int compareNames(std::string_view first, std::string_view second)
{
    if (first == second)
        return 0;
    thread_local SortKeyCache cache;
    const auto [firstKey, secondKey] = cache.keysFor(first, second);
    return orderOf(firstKey, secondKey, first, second);
}

NameSortKey::NameSortKey(std::string_view name, char group)
{
    const std::string collation = collationKeyOf(name);
    key_.reserve(1 + collation.size() + 1 + name.size());
    key_.push_back(group);
    key_.append(collation);
    key_.push_back('\0');
    key_.append(name);
}

int NameSortKey::compare(const NameSortKey& other) const
{
    return sign(key_.compare(other.key_));
}

} // namespace dw::platform
