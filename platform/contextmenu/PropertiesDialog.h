// SPDX-License-Identifier: MIT
#pragma once
// A dialog with the facts of one or more file-system items: name, type,
// location, size, modified and attributes.

#include <QDialog>

#include <string>
#include <vector>

namespace dw::platform {

struct ItemProperties {
    QString name;
    QString type;
    QString location;
    QString size;
    QString modified;
    QString attributes;
};

// The facts of `path` as the dialog shows them. They come from its disk:
// read them away from the window's thread.
ItemProperties readItemProperties(const std::string& path);

// Shows facts already read: one page, or a tab for each item.
class PropertiesDialog : public QDialog {
public:
    PropertiesDialog(const std::vector<ItemProperties>& items, QWidget* parent);
};

} // namespace dw::platform
