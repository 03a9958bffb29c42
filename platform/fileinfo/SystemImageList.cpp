// SPDX-License-Identifier: MIT
#include "platform/fileinfo/SystemImageList.h"

#include <QFileIconProvider>

namespace dw::platform {

namespace {

struct Registry {
    std::mutex mutex;
    std::vector<IconKey> keys;
    std::unordered_map<std::string, int> indexes;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

std::string keyText(const IconKey& key)
{
    return key.themeName + '\n' + std::to_string(static_cast<int>(key.fallback));
}

QIcon fallbackIcon(IconKey::Fallback fallback)
{
    // Qt's own icons, for machines without an icon theme.
    const QFileIconProvider provider;
    switch (fallback) {
    case IconKey::Fallback::Folder:
    case IconKey::Fallback::FolderOpen:
    case IconKey::Fallback::Home:
        return provider.icon(QAbstractFileIconProvider::Folder);
    case IconKey::Fallback::Drive:
        return provider.icon(QAbstractFileIconProvider::Drive);
    case IconKey::Fallback::Computer:
        return provider.icon(QAbstractFileIconProvider::Computer);
    case IconKey::Fallback::Network:
        return provider.icon(QAbstractFileIconProvider::Network);
    case IconKey::Fallback::Trash:
        return provider.icon(QAbstractFileIconProvider::Trashcan);
    case IconKey::Fallback::Desktop:
        return provider.icon(QAbstractFileIconProvider::Desktop);
    case IconKey::Fallback::File:
    case IconKey::Fallback::Link:
        break;
    }
    return provider.icon(QAbstractFileIconProvider::File);
}

} // namespace

SystemImageList& SystemImageList::small()
{
    static SystemImageList list(16);
    return list;
}

SystemImageList& SystemImageList::large()
{
    static SystemImageList list(32);
    return list;
}

int SystemImageList::indexOf(const IconKey& key)
{
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    const auto [found, added] = r.indexes.emplace(keyText(key), static_cast<int>(r.keys.size()));
    if (added)
        r.keys.push_back(key);
    return found->second;
}

int SystemImageList::count()
{
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    return static_cast<int>(r.keys.size());
}

IconKey SystemImageList::keyAt(int index)
{
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    if (index < 0 || index >= static_cast<int>(r.keys.size()))
        return {};
    return r.keys[static_cast<std::size_t>(index)];
}

QIcon SystemImageList::icon(int index) const
{
    if (index < 0 || index >= count())
        return {};
    // Views ask for an icon every time they paint a row; looking it up in
    // the theme each time would cost more than the painting.
    static std::mutex mutex;
    static std::unordered_map<int, QIcon> made;
    {
        std::lock_guard lock(mutex);
        if (const auto found = made.find(index); found != made.end())
            return found->second;
    }
    const IconKey key = keyAt(index);
    const QIcon themed = key.themeName.empty() ? QIcon() : QIcon::fromTheme(QString::fromStdString(key.themeName));
    const QIcon icon = themed.isNull() ? fallbackIcon(key.fallback) : themed;
    std::lock_guard lock(mutex);
    made.emplace(index, icon);
    return icon;
}

QPixmap SystemImageList::pixmap(int index) const
{
    return icon(index).pixmap(size_, size_);
}

} // namespace dw::platform
