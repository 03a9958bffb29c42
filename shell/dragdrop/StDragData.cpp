// SPDX-License-Identifier: MIT
#include "shell/dragdrop/StDragData.h"

#include "platform/dragdata/IdListArray.h"
#include "platform/dragdata/UriList.h"
#include "platform/namespace/IdRecord.h"
#include "platform/namespace/ShellNamespace.h"
#include "shell/dragdrop/StDataObject.h"

#include <QMimeData>

using namespace dw::platform;

namespace {

constexpr const char* kNotFileSystem = "Only files and folders can be dropped here.";

std::string_view viewOf(const QByteArray& bytes)
{
    return std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

TStDroppedItems refused(std::string why)
{
    TStDroppedItems items;
    items.error = std::move(why);
    return items;
}

TStDroppedItems fromIdListArray(const QByteArray& block)
{
    IdListArrayError error = IdListArrayError::None;
    const auto array = decodeIdListArray(viewOf(block), validateNamespaceIdList, &error);
    if (!array)
        return refused(describeIdListArrayError(error));
    TStDroppedItems items;
    for (const IdListPtr& absolute : array->absoluteLists()) {
        std::string path = idListToParsingName(absolute.get());
        if (path.empty() || path.front() != '/')
            return refused(kNotFileSystem);
        items.paths.push_back(std::move(path));
    }
    return items;
}

TStDroppedItems fromUriList(const QByteArray& list)
{
    UriListError error = UriListError::None;
    auto paths = decodeUriList(viewOf(list), localHostName(), &error);
    if (!paths)
        return refused(describeUriListError(error));
    TStDroppedItems items;
    items.paths = std::move(*paths);
    return items;
}

} // namespace

TStDroppedItems DroppedItemsOf(const QMimeData& data)
{
    const QString idListArray = TStDataObject::IdListArrayMimeType();
    if (data.hasFormat(idListArray))
        return fromIdListArray(data.data(idListArray));
    if (data.hasFormat(QStringLiteral("text/uri-list")))
        return fromUriList(data.data(QStringLiteral("text/uri-list")));
    return refused(kNotFileSystem);
}
