// SPDX-License-Identifier: MIT
#include "platform/namespace/VirtualFolders.h"

#include "platform/fileops/FolderDropTarget.h"
#include "platform/namespace/FileSystemAccess.h"
#include "platform/namespace/FileSystemFolder.h"
#include "platform/namespace/ListEnumerator.h"

#include <sys/stat.h>

namespace dw::platform {

namespace {

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

IdListPtr chain(std::initializer_list<const ItemIdList*> parts)
{
    IdListPtr result = emptyIdList();
    for (const ItemIdList* part : parts)
        result.reset(ILCombine(result.get(), part));
    return result;
}

// Hands the desktop directory's entries on after the fixed virtual items.
class DesktopEnumerator : public IEnumIdList {
public:
    DesktopEnumerator(std::vector<IdListPtr> fixed, std::unique_ptr<IEnumIdList> entries)
        : fixed_(std::move(fixed)), entries_(std::move(entries))
    {
    }

    HResult Next(IdListPtr& child) override
    {
        if (fixed_.Next(child) == S_OK)
            return S_OK;
        if (entries_)
            return entries_->Next(child);
        child.reset();
        return S_FALSE;
    }

private:
    ListEnumerator fixed_;
    std::unique_ptr<IEnumIdList> entries_;
};

} // namespace

DesktopFolder::DesktopFolder(std::shared_ptr<NamespaceContext> context)
    : NamespaceFolder(context, emptyIdList())
{
    const std::string& desktopPath = context->environment().desktopPath;
    directory_ = std::make_shared<FileSystemFolder>(context, emptyIdList(), desktopPath,
                                                    context->driveTypeOfPath(desktopPath));
    trash_ = std::make_shared<TrashFolder>(context);
}

bool DesktopFolder::desktopDirectoryExists() const
{
    struct stat status {};
    return ::stat(directory_->path().c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

HResult DesktopFolder::ParseDisplayName(const std::string& name, IdListPtr& result)
{
    result.reset();
    if (name.empty()) {
        result = emptyIdList();
        return S_OK;
    }
    if (name == COMPUTER_PARSING_NAME || name == "computer://") {
        result = makeRecord(IdKind::Computer);
        return S_OK;
    }
    if (name == NETWORK_PARSING_NAME || name == "network://") {
        result = makeRecord(IdKind::Network);
        return S_OK;
    }
    if (startsWith(name, "trash://"))
        return parseTrash(name, result);
    if (startsWith(name, "//") && succeeded(parseShare(name, result)))
        return S_OK;
    if (name.front() == '/')
        return parsePath(name, result);
    if (!desktopDirectoryExists())
        return E_FILE_NOT_FOUND;
    return directory_->ParseDisplayName(name, result); // a name on the desktop
}

HResult DesktopFolder::parsePath(const std::string& name, IdListPtr& result)
{
    const std::string path = cleanAbsolutePath(name);
    if (path.empty() || !entryFlags(path))
        return E_FILE_NOT_FOUND;
    const auto volumes = context().volumes();
    const Volume* volume = volumeForPath(volumes, path);
    if (!volume)
        return E_FILE_NOT_FOUND;
    IdListPtr rest;
    const std::string_view below = std::string_view(path).substr(volume->mountPoint == "/" ? 1 : volume->mountPoint.size());
    if (const HResult parsed = parseComponents(volume->mountPoint, below, rest); failed(parsed))
        return parsed;
    const IdListPtr computer = makeRecord(IdKind::Computer);
    const IdListPtr drive = makeRecord(IdKind::Volume, static_cast<std::uint8_t>(volume->driveType), volume->mountPoint);
    result = chain({computer.get(), drive.get(), rest.get()});
    return S_OK;
}

HResult DesktopFolder::parseShare(const std::string& name, IdListPtr& result)
{
    NetworkFolder network(sharedContext());
    IdListPtr below;
    if (const HResult parsed = network.ParseDisplayName(name, below); failed(parsed))
        return parsed;
    const IdListPtr networkId = makeRecord(IdKind::Network);
    result = chain({networkId.get(), below.get()});
    return S_OK;
}

HResult DesktopFolder::parseTrash(const std::string& name, IdListPtr& result)
{
    const IdListPtr trashId = makeRecord(IdKind::Trash);
    if (name == TRASH_PARSING_NAME || name == "trash://") {
        result = chain({trashId.get()});
        return S_OK;
    }
    TrashFolder trash(sharedContext());
    IdListPtr entry;
    if (const HResult parsed = trash.ParseDisplayName(name, entry); failed(parsed))
        return parsed;
    result = chain({trashId.get(), entry.get()});
    return S_OK;
}

HResult DesktopFolder::EnumObjects(ShcontfFlags flags, std::unique_ptr<IEnumIdList>& result)
{
    std::vector<IdListPtr> fixed;
    if (flags & SHCONTF_FOLDERS) {
        for (IdKind kind : {IdKind::Home, IdKind::Computer, IdKind::Network, IdKind::Trash})
            fixed.push_back(makeRecord(kind));
    }
    std::unique_ptr<IEnumIdList> entries;
    if (desktopDirectoryExists() && failed(directory_->EnumObjects(flags, entries)))
        entries.reset(); // an unreadable desktop directory still leaves the virtual items
    result = std::make_unique<DesktopEnumerator>(std::move(fixed), std::move(entries));
    return S_OK;
}

HResult DesktopFolder::GetDisplayNameOf(const ItemIdList* relative, ShgdnFlags flags, std::string& name)
{
    if (ILIdSize(relative) != 0)
        return NamespaceFolder::GetDisplayNameOf(relative, flags, name);
    name = (flags & SHGDN_FORPARSING) ? directory_->path() : "Desktop";
    return S_OK;
}

HResult DesktopFolder::GetAttributesOf(const std::vector<const ItemIdList*>& relatives, SfgaoFlags& attributes)
{
    if (relatives.size() != 1 || ILIdSize(relatives.front()) != 0)
        return NamespaceFolder::GetAttributesOf(relatives, attributes);
    SfgaoFlags own = SFGAO_FOLDER | SFGAO_HASSUBFOLDER | SFGAO_HASPROPSHEET;
    if (desktopDirectoryExists())
        own |= SFGAO_FILESYSTEM | SFGAO_DROPTARGET;
    attributes &= own;
    return S_OK;
}

HResult DesktopFolder::GetDropTargetOf(const ItemIdList* relative, std::unique_ptr<IDropTarget>& result)
{
    if (ILIdSize(relative) != 0)
        return NamespaceFolder::GetDropTargetOf(relative, result);
    if (!desktopDirectoryExists())
        return E_NOTIMPL;
    result = std::make_unique<FolderDropTarget>(directory_->path(), emptyIdList());
    return S_OK;
}

HResult DesktopFolder::childDropTarget(const IdRecord& child, const ItemIdList* relative,
                                       std::unique_ptr<IDropTarget>& result)
{
    if (child.kind != IdKind::Trash)
        return NamespaceFolder::childDropTarget(child, relative, result);
    result = std::make_unique<TrashDropTarget>();
    return S_OK;
}

HResult DesktopFolder::bindChild(const IdRecord& child, ShellFolderPtr& result)
{
    const auto& environment = context().environment();
    switch (child.kind) {
    case IdKind::Home: {
        const IdListPtr id = makeRecord(IdKind::Home);
        result = std::make_shared<FileSystemFolder>(sharedContext(), absoluteOf(id.get()), environment.homePath,
                                                    context().driveTypeOfPath(environment.homePath));
        return S_OK;
    }
    case IdKind::Computer:
        result = std::make_shared<ComputerFolder>(sharedContext());
        return S_OK;
    case IdKind::Network:
        result = std::make_shared<NetworkFolder>(sharedContext());
        return S_OK;
    case IdKind::Trash:
        // One for all: sorting the trash binds it for every comparison.
        result = trash_;
        return S_OK;
    case IdKind::Entry:
        return directory_->BindToObject(makeEntryRecord(child.payload, child.flags).get(), result);
    default:
        return E_INVALIDARG;
    }
}

int DesktopFolder::compareChildren(const IdRecord& first, const IdRecord& second)
{
    const int firstRank = virtualRank(first.kind);
    const int secondRank = virtualRank(second.kind);
    if (firstRank != secondRank)
        return firstRank < secondRank ? -1 : 1;
    if (first.kind != IdKind::Entry || second.kind != IdKind::Entry)
        return 0;
    const IdListPtr a = makeEntryRecord(first.payload, first.flags);
    const IdListPtr b = makeEntryRecord(second.payload, second.flags);
    return static_cast<short>(directory_->CompareIDs(0, a.get(), b.get()));
}

HResult DesktopFolder::childAttributes(const IdRecord& child, SfgaoFlags asked, SfgaoFlags& result)
{
    switch (child.kind) {
    case IdKind::Home: {
        SfgaoFlags attributes = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_DROPTARGET | SFGAO_HASPROPSHEET;
        if ((asked & SFGAO_HASSUBFOLDER) && hasSubfolder(context().environment().homePath))
            attributes |= SFGAO_HASSUBFOLDER;
        result = attributes & asked;
        return S_OK;
    }
    case IdKind::Computer:
    case IdKind::Network:
    case IdKind::Trash: {
        SfgaoFlags attributes = SFGAO_FOLDER;
        if (child.kind == IdKind::Computer)
            attributes |= SFGAO_HASSUBFOLDER;
        if (child.kind == IdKind::Network && (asked & SFGAO_HASSUBFOLDER)) {
            std::unique_ptr<IEnumIdList> shares;
            IdListPtr first;
            if (succeeded(NetworkFolder(sharedContext()).EnumObjects(SHCONTF_FOLDERS, shares))
                && shares->Next(first) == S_OK)
                attributes |= SFGAO_HASSUBFOLDER;
        }
        if (child.kind == IdKind::Trash) {
            attributes |= SFGAO_DROPTARGET;
            if ((asked & SFGAO_HASSUBFOLDER) && trashHoldsFolder(context().environment().trashPath))
                attributes |= SFGAO_HASSUBFOLDER;
        }
        result = attributes & asked;
        return S_OK;
    }
    case IdKind::Entry: {
        SfgaoFlags answer = asked;
        const IdListPtr id = makeEntryRecord(child.payload, child.flags);
        const HResult got = directory_->GetAttributesOf({id.get()}, answer);
        result = answer;
        return got;
    }
    default:
        return E_INVALIDARG;
    }
}

HResult DesktopFolder::childDisplayName(const IdRecord& child, ShgdnFlags flags, std::string& name)
{
    const bool parsing = (flags & SHGDN_FORPARSING) != 0;
    switch (child.kind) {
    case IdKind::Home:
        name = parsing ? context().environment().homePath : "Home";
        return S_OK;
    case IdKind::Computer:
        name = parsing ? COMPUTER_PARSING_NAME : "Computer";
        return S_OK;
    case IdKind::Network:
        name = parsing ? NETWORK_PARSING_NAME : "Network";
        return S_OK;
    case IdKind::Trash:
        name = parsing ? TRASH_PARSING_NAME : "Trash";
        return S_OK;
    case IdKind::Entry:
        return directory_->GetDisplayNameOf(makeEntryRecord(child.payload, child.flags).get(), flags, name);
    default:
        return E_INVALIDARG;
    }
}

HResult DesktopFolder::renameChild(const IdRecord& child, const std::string& name, IdListPtr* newRelative)
{
    if (child.kind != IdKind::Entry)
        return E_NOTIMPL;
    return directory_->SetNameOf(makeEntryRecord(child.payload, child.flags).get(), name, SHGDN_NORMAL, newRelative);
}

HResult DesktopFolder::childFindData(const IdRecord& child, FindData& data)
{
    if (child.kind == IdKind::Home)
        return readFindData(context().environment().homePath, data);
    if (child.kind != IdKind::Entry)
        return E_NOTIMPL;
    return directory_->GetFindData(makeEntryRecord(child.payload, child.flags).get(), data);
}

std::string DesktopFolder::childIconName(const IdRecord& child, bool open)
{
    switch (child.kind) {
    case IdKind::Home:
        return "user-home";
    case IdKind::Computer:
        return "computer";
    case IdKind::Network:
        return "network-workgroup";
    case IdKind::Trash: {
        TrashFolder trash(sharedContext());
        std::unique_ptr<IEnumIdList> entries;
        IdListPtr first;
        const bool full = succeeded(trash.EnumObjects(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN,
                                                      entries))
            && entries->Next(first) == S_OK;
        return full ? "user-trash-full" : "user-trash";
    }
    case IdKind::Entry:
        return directory_->GetIconNameOf(makeEntryRecord(child.payload, child.flags).get(), open);
    default:
        return {};
    }
}

std::string DesktopFolder::childPath(const IdRecord& child)
{
    if (child.kind == IdKind::Home)
        return context().environment().homePath;
    return child.kind == IdKind::Entry ? joinPath(directory_->path(), child.payload) : std::string();
}

} // namespace dw::platform
