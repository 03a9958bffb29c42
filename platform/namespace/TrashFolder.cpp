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

namespace {

// A trashed folder (not a link to one) is shown as a folder: a tree that
// shows folders only shows it, but it is not browsed into.
std::uint8_t trashEntryFlags(std::uint8_t entry)
{
    return (entry & ENTRY_DIRECTORY) && !(entry & ENTRY_SYMLINK) ? ENTRY_DIRECTORY : 0;
}

bool selected(ShcontfFlags flags, std::string_view name, std::uint8_t entry)
{
    if (name.front() == '.' && !(flags & SHCONTF_INCLUDEHIDDEN))
        return false;
    return (entry & ENTRY_DIRECTORY) ? (flags & SHCONTF_FOLDERS) != 0 : (flags & SHCONTF_NONFOLDERS) != 0;
}

} // namespace

bool trashHoldsFolder(const std::string& trashPath)
{
    if (trashPath.empty())
        return false;
    DirectoryReader reader(trashPath + "/files");
    std::string name;
    std::uint8_t entry = 0;
    while (reader.next(name, entry)) {
        if (trashEntryFlags(entry))
            return true;
    }
    return false;
}

TrashFolder::TrashFolder(std::shared_ptr<NamespaceContext> context)
    : NamespaceFolder(std::move(context), makeRecord(IdKind::Trash)),
      names_(TrashInfoCache::of(this->context().environment().trashPath))
{
}

bool TrashFolder::hasTrash() const
{
    return !context().environment().trashPath.empty();
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
    const auto entry = entryName && isValidComponent(*entryName) && hasTrash()
        ? entryFlags(joinPath(filesPath(), *entryName))
        : std::nullopt;
    if (!entry)
        return E_FILE_NOT_FOUND;
    result = makeRecord(IdKind::TrashEntry, trashEntryFlags(*entry), *entryName);
    return S_OK;
}

HResult TrashFolder::EnumObjects(ShcontfFlags flags, std::unique_ptr<IEnumIdList>& result)
{
    std::vector<IdListPtr> children;
    if (hasTrash() && (flags & (SHCONTF_FOLDERS | SHCONTF_NONFOLDERS))) {
        names_.startListing();
        DirectoryReader reader(filesPath());
        std::string name;
        std::uint8_t entry = 0;
        while (reader.next(name, entry)) {
            entry = trashEntryFlags(entry);
            if (selected(flags, name, entry))
                children.push_back(makeRecord(IdKind::TrashEntry, entry, name));
        }
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
    if ((asked & SFGAO_VALIDATE) && (!hasTrash() || !entryFlags(joinPath(filesPath(), child.payload))))
        return E_FILE_NOT_FOUND;
    SfgaoFlags attributes = SFGAO_CANDELETE | SFGAO_HASPROPSHEET;
    if (child.isDirectory())
        attributes |= SFGAO_FOLDER;
    if (child.payload.front() == '.')
        attributes |= SFGAO_HIDDEN;
    result = attributes & asked;
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
