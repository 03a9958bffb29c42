// SPDX-License-Identifier: MIT
#include "shell/dragdrop/StDataObject.h"

#include "platform/dragdata/IdListArray.h"
#include "platform/dragdata/UriList.h"
#include "platform/shellmodule/ClipboardFormats.h"
#include "shell/items/StShellItem.h"

#include <algorithm>

using namespace dw::platform;

namespace {

QByteArray bytesOf(const std::string& text)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

bool isFileSystemPath(const TStShellItem& item)
{
    return item.IsFileSystem() && !item.GetPath().empty() && item.GetPath().front() == '/';
}

} // namespace

TStDataObject::TStDataObject(const TStShellItem& item) : TStDataObject(std::vector<const TStShellItem*>{&item})
{
}

TStDataObject::TStDataObject(const std::vector<const TStShellItem*>& items)
{
    for (const TStShellItem* item : items)
        m_idLists.push_back(cloneIdList(item->GetAbsoluteIdList()));
    if (!items.empty() && std::all_of(items.begin(), items.end(), [](auto* item) { return isFileSystemPath(*item); })) {
        for (const TStShellItem* item : items)
            m_paths.push_back(item->GetPath());
    }
    Offer();
}

QString TStDataObject::IdListArrayMimeType()
{
    return QString::fromStdString(
        ClipboardFormatMimeType(RegisterClipboardFormat(kShellIdListArrayFormatName)));
}

void TStDataObject::Offer()
{
    std::vector<const ItemIdList*> lists;
    for (const IdListPtr& list : m_idLists)
        lists.push_back(list.get());
    if (const std::string block = encodeIdListArrayOf(lists); !block.empty())
        setData(IdListArrayMimeType(), bytesOf(block));
    if (m_paths.empty())
        return;
    setData(QStringLiteral("text/uri-list"), bytesOf(encodeUriList(m_paths)));
    std::string text;
    for (const std::string& path : m_paths)
        text += (text.empty() ? "" : "\n") + path;
    setData(QStringLiteral("text/plain"), bytesOf(text));
}
