// SPDX-License-Identifier: MIT
#include "platform/namespace/NamespaceFolder.h"

#include "platform/contextmenu/FileContextMenu.h"
#include "platform/fileops/FolderDropTarget.h"
#include "platform/namespace/FileSystemAccess.h"
#include "platform/namespace/NaturalOrder.h"

namespace dw::platform {

namespace {

bool isSingleId(const ItemIdList* relative)
{
    return ILIdSize(relative) != 0 && ILIdSize(ILGetNext(relative)) == 0;
}

// Whether every id of the list is a file-system entry.
bool isEntryChain(const ItemIdList* list)
{
    for (const ItemIdList* id = list; ILIdSize(id) != 0; id = ILGetNext(id)) {
        const auto record = readRecord(id);
        if (!record || record->kind != IdKind::Entry)
            return false;
    }
    return true;
}

// Orders two chains of entries below the same folder the way every
// file-system folder orders its children, level by level. Sorting a large
// tree compares deep lists very often; this needs no folder bound for each
// level.
int compareEntryChains(const ItemIdList* first, const ItemIdList* second)
{
    while (ILIdSize(first) != 0 && ILIdSize(second) != 0) {
        const IdRecord a = *readRecord(first);
        const IdRecord b = *readRecord(second);
        if (a.isDirectory() != b.isDirectory())
            return a.isDirectory() ? -1 : 1;
        if (const int order = compareNames(a.payload, b.payload); order != 0)
            return order < 0 ? -1 : 1;
        first = ILGetNext(first);
        second = ILGetNext(second);
    }
    if (ILIdSize(first) == ILIdSize(second))
        return 0;
    return ILIdSize(first) == 0 ? -1 : 1;
}

} // namespace

int virtualRank(IdKind kind)
{
    switch (kind) {
    case IdKind::Home:
        return 0;
    case IdKind::Computer:
        return 1;
    case IdKind::Network:
        return 2;
    case IdKind::Trash:
        return 3;
    default:
        return 4;
    }
}

NamespaceFolder::NamespaceFolder(std::shared_ptr<NamespaceContext> context, IdListPtr absolute)
    : context_(std::move(context)), absolute_(std::move(absolute))
{
    if (!absolute_)
        absolute_ = emptyIdList();
}

IdListPtr NamespaceFolder::absoluteOf(const ItemIdList* relative) const
{
    return IdListPtr(ILCombine(absolute_.get(), relative));
}

HResult NamespaceFolder::bindToHolder(const ItemIdList* relative, ShellFolderPtr& holder, const ItemIdList*& last)
{
    IdListPtr parentPart(ILClone(relative));
    if (!parentPart || !ILRemoveLastID(parentPart.get()))
        return E_INVALIDARG;
    last = ILFindLastID(relative);
    return BindToObject(parentPart.get(), holder);
}

HResult NamespaceFolder::BindToObject(const ItemIdList* relative, ShellFolderPtr& result)
{
    result.reset();
    const auto first = readRecord(relative);
    if (!first)
        return E_INVALIDARG;
    ShellFolderPtr child;
    const HResult bound = bindChild(*first, child);
    if (failed(bound) || isSingleId(relative)) {
        result = std::move(child);
        return bound;
    }
    return child->BindToObject(ILGetNext(relative), result);
}

HResult NamespaceFolder::CompareIDs(long param, const ItemIdList* first, const ItemIdList* second)
{
    // Identical leading ids name the same folder; below it, entries compare
    // without binding anything.
    const ItemIdList* firstRest = first;
    const ItemIdList* secondRest = second;
    while (ILIdSize(firstRest) != 0 && ILIdSize(firstRest) == ILIdSize(secondRest)
           && ILIdData(firstRest) == ILIdData(secondRest)) {
        firstRest = ILGetNext(firstRest);
        secondRest = ILGetNext(secondRest);
    }
    if (firstRest != first && isEntryChain(firstRest) && isEntryChain(secondRest))
        return compareEntryChains(firstRest, secondRest);
    return compareFromHere(param, first, second);
}

HResult NamespaceFolder::compareFromHere(long param, const ItemIdList* first, const ItemIdList* second)
{
    const auto firstRecord = readRecord(first);
    const auto secondRecord = readRecord(second);
    if (!firstRecord || !secondRecord) // the empty list (this folder) sorts first
        return firstRecord ? 1 : (secondRecord ? -1 : 0);
    if (const int order = compareChildren(*firstRecord, *secondRecord); order != 0)
        return order < 0 ? -1 : 1;
    const ItemIdList* firstRest = ILGetNext(first);
    const ItemIdList* secondRest = ILGetNext(second);
    if (ILIdSize(firstRest) == 0 || ILIdSize(secondRest) == 0)
        return CompareIDs(param, firstRest, secondRest);
    if (isEntryChain(firstRest) && isEntryChain(secondRest))
        return compareEntryChains(firstRest, secondRest);
    ShellFolderPtr child;
    if (failed(bindChild(*firstRecord, child)))
        return ILIsEqual(firstRest, secondRest) ? 0 : (ILGetSize(firstRest) < ILGetSize(secondRest) ? -1 : 1);
    return child->CompareIDs(param, firstRest, secondRest);
}

HResult NamespaceFolder::GetAttributesOf(const std::vector<const ItemIdList*>& relatives, SfgaoFlags& attributes)
{
    SfgaoFlags common = attributes;
    for (const ItemIdList* relative : relatives) {
        SfgaoFlags answer = attributes;
        HResult result = S_OK;
        if (isSingleId(relative)) {
            const auto record = readRecord(relative);
            result = record ? childAttributes(*record, attributes, answer) : E_INVALIDARG;
        } else {
            ShellFolderPtr holder;
            const ItemIdList* last = nullptr;
            result = bindToHolder(relative, holder, last);
            if (succeeded(result))
                result = holder->GetAttributesOf({last}, answer);
        }
        if (failed(result)) {
            attributes = 0;
            return result;
        }
        common &= answer;
    }
    attributes = common;
    return S_OK;
}

HResult NamespaceFolder::GetDisplayNameOf(const ItemIdList* relative, ShgdnFlags flags, std::string& name)
{
    name.clear();
    if (isSingleId(relative)) {
        const auto record = readRecord(relative);
        return record ? childDisplayName(*record, flags, name) : E_INVALIDARG;
    }
    ShellFolderPtr holder;
    const ItemIdList* last = nullptr;
    const HResult bound = bindToHolder(relative, holder, last);
    return failed(bound) ? bound : holder->GetDisplayNameOf(last, flags, name);
}

HResult NamespaceFolder::SetNameOf(const ItemIdList* relative, const std::string& name, ShgdnFlags,
                                   IdListPtr* newRelative)
{
    if (!isSingleId(relative))
        return E_INVALIDARG;
    const auto record = readRecord(relative);
    return record ? renameChild(*record, name, newRelative) : E_INVALIDARG;
}

HResult NamespaceFolder::GetUIObjectOf(const std::vector<const ItemIdList*>& relatives,
                                       std::unique_ptr<IContextMenu>& result)
{
    std::vector<MenuTarget> targets;
    for (const ItemIdList* relative : relatives) {
        const auto record = isSingleId(relative) ? readRecord(relative) : std::nullopt;
        if (!record)
            return E_INVALIDARG;
        SfgaoFlags attributes = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_CANRENAME | SFGAO_CANDELETE;
        if (failed(childAttributes(*record, attributes, attributes)))
            return E_FAIL;
        MenuTarget target;
        target.absolute = absoluteOf(relative);
        target.path = childPath(*record);
        target.attributes = attributes;
        childDisplayName(*record, SHGDN_NORMAL, target.name);
        // Asked of the disk here: menus are made away from the window's thread.
        const bool folder = (attributes & (SFGAO_FOLDER | SFGAO_FILESYSTEM)) == (SFGAO_FOLDER | SFGAO_FILESYSTEM);
        target.takesNewEntries = folder && !target.path.empty() && isWritableFolder(target.path);
        targets.push_back(std::move(target));
    }
    if (targets.empty())
        return E_INVALIDARG;
    result = std::make_unique<FileContextMenu>(std::move(targets));
    return S_OK;
}

HResult NamespaceFolder::GetFindData(const ItemIdList* relative, FindData& data)
{
    if (!isSingleId(relative)) {
        ShellFolderPtr holder;
        const ItemIdList* last = nullptr;
        const HResult bound = bindToHolder(relative, holder, last);
        return failed(bound) ? bound : holder->GetFindData(last, data);
    }
    const auto record = readRecord(relative);
    return record ? childFindData(*record, data) : E_INVALIDARG;
}

HResult NamespaceFolder::GetDropTargetOf(const ItemIdList* relative, std::unique_ptr<IDropTarget>& result)
{
    if (ILIdSize(relative) == 0)
        return E_NOTIMPL;
    if (!isSingleId(relative)) {
        ShellFolderPtr holder;
        const ItemIdList* last = nullptr;
        const HResult bound = bindToHolder(relative, holder, last);
        return failed(bound) ? bound : holder->GetDropTargetOf(last, result);
    }
    const auto record = readRecord(relative);
    return record ? childDropTarget(*record, relative, result) : E_INVALIDARG;
}

HResult NamespaceFolder::childDropTarget(const IdRecord& child, const ItemIdList* relative,
                                         std::unique_ptr<IDropTarget>& result)
{
    SfgaoFlags attributes = SFGAO_FOLDER | SFGAO_FILESYSTEM;
    if (failed(childAttributes(child, attributes, attributes)) || attributes != (SFGAO_FOLDER | SFGAO_FILESYSTEM))
        return E_NOTIMPL;
    const std::string path = childPath(child);
    if (path.empty())
        return E_NOTIMPL;
    result = std::make_unique<FolderDropTarget>(path, absoluteOf(relative));
    return S_OK;
}

std::string NamespaceFolder::GetIconNameOf(const ItemIdList* relative, bool open)
{
    const auto record = isSingleId(relative) ? readRecord(relative) : std::nullopt;
    return record ? childIconName(*record, open) : std::string();
}

HResult NamespaceFolder::renameChild(const IdRecord&, const std::string&, IdListPtr*)
{
    return E_NOTIMPL;
}

HResult NamespaceFolder::childFindData(const IdRecord&, FindData&)
{
    return E_NOTIMPL;
}

std::string NamespaceFolder::childIconName(const IdRecord&, bool)
{
    return {};
}

std::string NamespaceFolder::childPath(const IdRecord&)
{
    return {};
}

} // namespace dw::platform
