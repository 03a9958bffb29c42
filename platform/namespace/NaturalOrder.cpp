#include "platform/namespace/NaturalOrder.h"

#include <QCollator>
#include <QFile>
#include <QLocale>

#include <unordered_map>

namespace dw::platform {

namespace {

// Qt 6.4 ignores numeric mode for the C locale (which CI and many services
// run under), so that locale is replaced by one whose collation honours it.
QLocale collationLocale()
{
    const QLocale system = QLocale::system();
    if (system.language() == QLocale::C || system.language() == QLocale::AnyLanguage)
        return QLocale(QLocale::English, QLocale::UnitedStates);
    return system;
}

QCollator makeCollator()
{
    QCollator collator(collationLocale());
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setIgnorePunctuation(false);
    return collator;
}

// Collators are not thread-safe: one per thread.
QCollatorSortKey collationKeyOf(std::string_view name)
{
    thread_local const QCollator collator = makeCollator();
    return collator.sortKey(QFile::decodeName(QByteArray(name.data(), qsizetype(name.size()))));
}

// Sorting a large folder by names compares every name many times; its key is
// computed once and kept. The cache is per thread and bounded so that
// browsing never grows it without limit.
struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>()(name); }
};

class SortKeyCache {
public:
    // A copy, not a reference: looking up another name may empty the cache.
    QCollatorSortKey keyFor(std::string_view name)
    {
        auto found = keys_.find(name);
        if (found != keys_.end())
            return found->second;
        if (keys_.size() >= kLimit)
            keys_.clear();
        return keys_.emplace(std::string(name), collationKeyOf(name)).first->second;
    }

private:
    static constexpr std::size_t kLimit = 400000;
    std::unordered_map<std::string, QCollatorSortKey, NameHash, std::equal_to<>> keys_;
};

int byteOrder(std::string_view first, std::string_view second)
{
    if (first == second)
        return 0;
    return first < second ? -1 : 1;
}

} // namespace

int compareNames(std::string_view first, std::string_view second)
{
    if (first == second)
        return 0;
    thread_local SortKeyCache cache;
    const QCollatorSortKey firstKey = cache.keyFor(first);
    const QCollatorSortKey secondKey = cache.keyFor(second);
    const int order = firstKey.compare(secondKey);
    if (order != 0)
        return order < 0 ? -1 : 1;
    return byteOrder(first, second);
}

NameSortKey::NameSortKey(std::string_view name) : key_(collationKeyOf(name)), bytes_(name) {}

int NameSortKey::compare(const NameSortKey& other) const
{
    if (bytes_ == other.bytes_)
        return 0;
    const int order = key_->compare(*other.key_);
    if (order != 0)
        return order < 0 ? -1 : 1;
    return byteOrder(bytes_, other.bytes_);
}

} // namespace dw::platform
