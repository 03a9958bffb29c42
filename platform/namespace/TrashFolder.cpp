// SPDX-License-Identifier: MIT
#include "platform/namespace/VirtualFolders.h"

#include "platform/contextmenu/TrashContextMenu.h"
#include "platform/fileops/TrashOperations.h"
#include "platform/namespace/DisplayText.h"
#include "platform/namespace/FileSystemAccess.h"
#include "platform/namespace/ListEnumerator.h"
#include "platform/namespace/NaturalOrder.h"
#include "platform/namespace/TrashInfoCache.h"

namespace dw::platform {

TrashFolder::TrashFolder(std::shared_ptr<NamespaceContext> context)
    : NamespaceFolder(std::move(context), makeRecord(IdKind::Trash)),
      names_(TrashInfoCache::of(this->context().environment().trashPath))
{
}

std::string TrashFolder::filesPath() const
{
    return context().environment().trashPath + "/files";
}

std::string TrashFolder::originalPath(std::string_view entryName) const
{
    return readTrashedFromPath(context().environment().trashPath, entryName);
}

std::string TrashFolder::shownName(std::string_view entryName) const
{
    return names_.shownName(entryName);
}

HResult TrashFolder::GetUIObjectOf(const std::vector<const ItemIdList*>& relatives,
                                   std::unique_ptr<IContextMenu>& result)
{
    std::vector<TrashMenuTarget> targets;
    for (const ItemIdList* relative : relatives) {
        const auto record = readRecord(relative);
        if (!record || record->kind != IdKind::TrashEntry || ILIdSize(ILGetNext(relative)) != 0)
            return E_INVALIDARG;
        targets.push_back({absoluteOf(relative), std::string(record->payload), originalPath(record->payload)});
    }
    if (targets.empty())
        return E_INVALIDARG;
    result = std::make_unique<TrashContextMenu>(context().environment().trashPath, std::move(targets));
    return S_OK;
}

HResult TrashFolder::ParseDisplayName(const std::string& name, IdListPtr& result)
{
    std::string_view encoded = name;
    if (encoded.substr(0, 9) == TRASH_PARSING_NAME)
        encoded.remove_prefix(9);
    const auto entryName = percentDecode(encoded);
    if (!entryName || !isValidComponent(*entryName) || !entryFlags(joinPath(filesPath(), *entryName)))
        return E_FILE_NOT_FOUND;
    result = makeRecord(IdKind::TrashEntry, 0, *entryName);
    return S_OK;
}

HResult TrashFolder::EnumObjects(ShcontfFlags flags, std::unique_ptr<IEnumIdList>& result)
{
    // Trashed folders are shown as entries, not browsed into.
    std::vector<IdListPtr> children;
    if (flags & SHCONTF_NONFOLDERS) {
        names_.startListing();
        DirectoryReader reader(filesPath());
        std::string name;
        std::uint8_t entry = 0;
        while (reader.next(name, entry))
            children.push_back(makeRecord(IdKind::TrashEntry, 0, name));
    }
    result = std::make_unique<ListEnumerator>(std::move(children));
    return S_OK;
}

HResult TrashFolder::bindChild(const IdRecord&, ShellFolderPtr&)
{
    return E_NOTIMPL;
}

int TrashFolder::compareChildren(const IdRecord& first, const IdRecord& second)
{
    // By the names shown, so that an entry without a record sorts among the
    // others under its own name.
    const int order = names_.compareShownNames(first.payload, second.payload);
    return order != 0 ? order : compareNames(first.payload, second.payload);
}

HResult TrashFolder::childAttributes(const IdRecord& child, SfgaoFlags asked, SfgaoFlags& result)
{
    if (child.kind != IdKind::TrashEntry)
        return E_INVALIDARG;
    if ((asked & SFGAO_VALIDATE) && !entryFlags(joinPath(filesPath(), child.payload)))
        return E_FILE_NOT_FOUND;
    result = (SFGAO_CANDELETE | SFGAO_HASPROPSHEET) & asked;
    return S_OK;
}

HResult TrashFolder::childDisplayName(const IdRecord& child, ShgdnFlags flags, std::string& name)
{
    if (child.kind != IdKind::TrashEntry)
        return E_INVALIDARG;
    if (flags & SHGDN_FORPARSING) {
        name = std::string(TRASH_PARSING_NAME) + percentEncode(child.payload);
        return S_OK;
    }
    name = displayTextFromBytes(shownName(child.payload));
    return S_OK;
}

HResult TrashFolder::childFindData(const IdRecord& child, FindData& data)
{
    return readFindData(joinPath(filesPath(), child.payload), data);
}

std::string TrashFolder::childPath(const IdRecord& child)
{
    return joinPath(filesPath(), child.payload);
}

std::string TrashFolder::childIconName(const IdRecord&, bool)
{
    return {};
}

} // namespace dw::platform
