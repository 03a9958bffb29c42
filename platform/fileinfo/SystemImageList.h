// SPDX-License-Identifier: MIT
#pragma once
// The system image lists: every icon the namespace shows gets one index,
// the same in the small and the large list, for the life of the process.
// Indexes are handed out from icon names alone, so enumeration needs no GUI;
// the images themselves are made when a view first draws them.

#include <QIcon>
#include <QPixmap>

#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace dw::platform {

// What an icon is drawn from: a freedesktop icon-theme name, with the kind
// of Qt's own icon to use when the theme has none.
struct IconKey {
    enum class Fallback { File, Folder, FolderOpen, Drive, Computer, Network, Trash, Desktop, Home, Link };
    std::string themeName;
    Fallback fallback = Fallback::File;
};

class SystemImageList {
public:
    // The shared lists: small (16 px) and large (32 px).
    static SystemImageList& small();
    static SystemImageList& large();

    // The stable index of an icon; the same key always gives the same index.
    static int indexOf(const IconKey& key);
    static int count();
    static IconKey keyAt(int index);

    int iconSize() const { return size_; }
    QIcon icon(int index) const;
    QPixmap pixmap(int index) const;

private:
    explicit SystemImageList(int size) : size_(size) {}
    int size_;
};

} // namespace dw::platform
