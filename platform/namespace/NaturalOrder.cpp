#include "platform/namespace/NaturalOrder.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QFile>
#include <QLocale>

#include <string>
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

// Sorting a large folder compares every name many times; its sort key is
// computed once and kept. The cache is per thread (collators are not
// thread-safe) and bounded so that browsing never grows it without limit.
struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>()(name); }
};

class SortKeyCache {
public:
    const QCollatorSortKey& keyFor(std::string_view name)
    {
        auto found = keys_.find(name);
        if (found != keys_.end())
            return found->second;
        if (keys_.size() >= kLimit)
            keys_.clear();
        const QString text = QFile::decodeName(QByteArray(name.data(), qsizetype(name.size())));
        return keys_.emplace(std::string(name), collator_.sortKey(text)).first->second;
    }

private:
    static constexpr std::size_t kLimit = 400000;
    QCollator collator_ = makeCollator();
    std::unordered_map<std::string, QCollatorSortKey, NameHash, std::equal_to<>> keys_;
};

} // namespace

QCollatorSortKey naturalSortKey(std::string_view name)
{
    thread_local QCollator collator = makeCollator();
    return collator.sortKey(QFile::decodeName(QByteArray(name.data(), qsizetype(name.size()))));
}

int compareNames(std::string_view first, std::string_view second)
{
    if (first == second)
        return 0;
    thread_local SortKeyCache cache;
    const QCollatorSortKey& firstKey = cache.keyFor(first);
    const int order = firstKey.compare(cache.keyFor(second));
    if (order != 0)
        return order < 0 ? -1 : 1;
    return first < second ? -1 : 1;
}

} // namespace dw::platform
