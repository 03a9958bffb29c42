// SPDX-License-Identifier: MIT
#pragma once
// The data of a drag out of a shell view: copies of the dragged items'
// absolute id lists, offered as
//   - the registered "Shell IDList Array" format (MIME type
//     IdListArrayMimeType()): the id-list array laid out as
//     platform/dragdata/IdListArray.h describes, the items' nearest common
//     parent first, then each item's list below it;
//   - text/uri-list: file:// URLs that keep every byte of each path;
//   - text/plain: the paths, one a line, as their bytes;
// the last two only when every item is a file-system item, for other
// programs of the desktop.

#include "platform/idlist/IdList.h"

#include <QMimeData>

#include <string>
#include <vector>

class TStShellItem;

class TStDataObject : public QMimeData {
    Q_OBJECT
public:
    explicit TStDataObject(const TStShellItem& item);
    explicit TStDataObject(const std::vector<const TStShellItem*>& items);

    // The MIME type that carries the "Shell IDList Array" format.
    static QString IdListArrayMimeType();

    // The copies of the items' absolute lists, in the order given.
    const std::vector<dw::platform::IdListPtr>& GetIdLists() const { return m_idLists; }
    // The items' paths; empty unless every item is a file-system item.
    const std::vector<std::string>& GetPaths() const { return m_paths; }

private:
    void Offer();

    std::vector<dw::platform::IdListPtr> m_idLists;
    std::vector<std::string> m_paths;
};
