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

const ItemIdList* firstEntryOf(const ItemIdList* list)
{
    for (; ILIdSize(list) != 0; list = ILGetNext(list)) {
        const auto record = readRecord(list);
        if (record && record->kind == IdKind::Entry)
            return list;
    }
    return nullptr;
}

std::size_t bytesBetween(const ItemIdList* first, const ItemIdList* last)
{
    return std::size_t(reinterpret_cast<const char*>(last) - reinterpret_cast<const char*>(first));
}

// The first `bytes` bytes of `list`, whole ids, as a list of their own.
IdListPtr leadingIds(const ItemIdList* list, std::size_t bytes)
{
    std::string copy(reinterpret_cast<const char*>(list), bytes);
    copy.append(2, '\0');
    return IdListPtr(ILCloneValidated(copy.data(), copy.size()));
}

// Appends one path component for each id from `ids` on; false when one is
// not an entry, which nothing below a file-system entry can be.
bool appendEntryNames(std::string& path, const ItemIdList* ids)
{
    for (; ILIdSize(ids) != 0; ids = ILGetNext(ids)) {
        const auto record = readRecord(ids);
        if (!record || record->kind != IdKind::Entry)
            return false;
        if (path.back() != '/')
            path += '/';
        path += record->payload;
    }
    return true;
}

// Names dropped items by their paths. The namespace names each item's ids
// up to its first file-system entry (an entry of the home folder, of a
// volume, of the desktop folder), through the folder that holds that entry,
// bound once for all items under it; each id after the entry is one more
// path component. Asking the namespace for a whole list instead binds a
// folder at every id, each copying the list so far: another program's list
// of 16,000 ids would hold the window for seconds, and 65,536 items would
// bind their common folders 65,536 times.
class DroppedPathNamer {
public:
    // "" when the item has no path.
    std::string pathOf(const ItemIdList* absolute)
    {
        const ItemIdList* entry = firstEntryOf(absolute);
        if (!entry)
            return idListToParsingName(absolute);
        std::string path;
        const IdListPtr entryAlone(ILCloneFirst(entry));
        IShellFolder* holder = folderHolding(absolute, bytesBetween(absolute, entry));
        if (!holder || failed(holder->GetDisplayNameOf(entryAlone.get(), SHGDN_FORPARSING, path)) || path.empty()
            || path.front() != '/' || !appendEntryNames(path, ILGetNext(entry)))
            return {};
        return path;
    }

private:
    // The folder named by the first `bytes` bytes of `absolute`.
    IShellFolder* folderHolding(const ItemIdList* absolute, std::size_t bytes)
    {
        const std::string_view ids(reinterpret_cast<const char*>(absolute), bytes);
        if (!holder_ || ids != holderIds_) {
            holderIds_ = ids;
            holder_ = bindToFolder(leadingIds(absolute, bytes).get());
        }
        return holder_.get();
    }

    std::string holderIds_;
    ShellFolderPtr holder_;
};

TStDroppedItems fromIdListArray(const QByteArray& block)
{
    IdListArrayError error = IdListArrayError::None;
    const auto array = decodeIdListArray(viewOf(block), validateNamespaceIdList, &error);
    if (!array)
        return refused(describeIdListArrayError(error));
    TStDroppedItems items;
    DroppedPathNamer namer;
    for (const IdListPtr& child : array->children) {
        const IdListPtr absolute(ILCombine(array->parent.get(), child.get()));
        std::string path = namer.pathOf(absolute.get());
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
