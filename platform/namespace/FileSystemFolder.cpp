// SPDX-License-Identifier: MIT
#include "platform/namespace/FileSystemFolder.h"

#include "platform/namespace/ChangeReport.h"
#include "platform/namespace/DisplayText.h"
#include "platform/namespace/FileSystemAccess.h"
#include "platform/namespace/NaturalOrder.h"
#include "platform/namespace/ShellErrors.h"
#include "platform/namespace/ShellNamespace.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <vector>

namespace dw::platform {

namespace {

class FileSystemEnumerator : public IEnumIdList {
public:
    FileSystemEnumerator(const std::string& path, ShcontfFlags flags) : path_(path), reader_(path), flags_(flags) {}

    int openError() const { return reader_.openError(); }

    HResult Next(IdListPtr& child) override
    {
        // Only a folder whose children are read counts as enumerated: the
        // tree opens enumerators merely to learn that a folder can be opened.
        if (!reported_) {
            reported_ = true;
            notifyFolderEnumerated(path_);
        }
        std::string name;
        std::uint8_t entry = 0;
        while (reader_.next(name, entry)) {
            if (accepts(name, entry)) {
                child = makeEntryRecord(name, entry);
                return S_OK;
            }
        }
        child.reset();
        return S_FALSE;
    }

private:
    bool accepts(const std::string& name, std::uint8_t entry) const
    {
        if (name.front() == '.' && !(flags_ & SHCONTF_INCLUDEHIDDEN))
            return false;
        const bool folder = (entry & ENTRY_DIRECTORY) != 0;
        return folder ? (flags_ & SHCONTF_FOLDERS) != 0 : (flags_ & SHCONTF_NONFOLDERS) != 0;
    }

    std::string path_;
    DirectoryReader reader_;
    ShcontfFlags flags_;
    bool reported_ = false;
};

std::vector<std::string_view> splitComponents(std::string_view path)
{
    std::vector<std::string_view> components;
    std::size_t at = 0;
    while (at <= path.size()) {
        const std::size_t slash = path.find('/', at);
        const std::size_t end = slash == std::string_view::npos ? path.size() : slash;
        if (end > at)
            components.push_back(path.substr(at, end - at));
        at = end + 1;
    }
    return components;
}

// Takes the last component off `folder` ("" for "/") the way the kernel
// resolves ".." after it: from the folder that path really leads to, with
// every link in it followed. False when it leads to no folder.
bool stepUp(std::string& folder)
{
    if (folder.empty())
        return true; // "/.." is "/"
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(folder.c_str(), nullptr), &std::free);
    if (!real)
        return false;
    const std::string resolved = real.get();
    const auto flags = entryFlags(resolved);
    if (!flags || !(*flags & ENTRY_DIRECTORY))
        return false;
    folder = resolved.substr(0, resolved.rfind('/'));
    return true;
}

} // namespace

std::string cleanAbsolutePath(std::string_view path)
{
    if (path.empty() || path.front() != '/')
        return {};
    std::string clean; // "" stands for "/"
    for (std::string_view component : splitComponents(path)) {
        if (component == ".")
            continue;
        if (component == "..") {
            if (!stepUp(clean))
                return {};
            continue;
        }
        clean.push_back('/');
        clean.append(component);
    }
    return clean.empty() ? "/" : clean;
}

HResult parseComponents(const std::string& folderPath, std::string_view relativePath, IdListPtr& result)
{
    IdListPtr chain = emptyIdList();
    std::string path = folderPath;
    for (std::string_view component : splitComponents(relativePath)) {
        if (component == ".")
            continue;
        if (!isValidComponent(component))
            return E_BAD_NAME;
        path = joinPath(path, component);
        const auto flags = entryFlags(path);
        if (!flags)
            return E_FILE_NOT_FOUND;
        IdListPtr id = makeEntryRecord(component, *flags);
        chain.reset(ILCombine(chain.get(), id.get()));
    }
    result = std::move(chain);
    return S_OK;
}

FileSystemFolder::FileSystemFolder(std::shared_ptr<NamespaceContext> context, IdListPtr absolute,
                                   std::string path, DriveType driveType)
    : NamespaceFolder(std::move(context), std::move(absolute)), path_(std::move(path)), driveType_(driveType)
{
}

HResult FileSystemFolder::ParseDisplayName(const std::string& name, IdListPtr& result)
{
    if (!name.empty() && name.front() == '/')
        return E_INVALIDARG;
    return parseComponents(path_, name, result);
}

HResult FileSystemFolder::EnumObjects(ShcontfFlags flags, std::unique_ptr<IEnumIdList>& result)
{
    auto enumerator = std::make_unique<FileSystemEnumerator>(path_, flags);
    if (enumerator->openError() != 0)
        return resultFromErrno(enumerator->openError());
    result = std::move(enumerator);
    return S_OK;
}

HResult FileSystemFolder::bindChild(const IdRecord& child, ShellFolderPtr& result)
{
    if (child.kind != IdKind::Entry)
        return E_INVALIDARG;
    const std::string childPath = joinPath(path_, child.payload);
    IdListPtr id = makeEntryRecord(child.payload, child.flags);
    const DriveType type = context().volumeTypeAt(childPath).value_or(driveType_);
    result = std::make_shared<FileSystemFolder>(sharedContext(), absoluteOf(id.get()), childPath, type);
    return S_OK;
}

int FileSystemFolder::compareChildren(const IdRecord& first, const IdRecord& second)
{
    if (first.isDirectory() != second.isDirectory())
        return first.isDirectory() ? -1 : 1;
    return compareNames(first.payload, second.payload);
}

bool FileSystemFolder::mayProbe(const std::string& childPath) const
{
    // A child can be the mount point of a volume of its own (a stick under
    // /media): the mount table says so without touching the child.
    const DriveType type = context().volumeTypeAt(childPath).value_or(driveType_);
    return type != DriveType::Removable && type != DriveType::CdRom && type != DriveType::Remote
        && type != DriveType::NoRootDir;
}

std::optional<EntryStatus> FileSystemFolder::childStatus(const std::string& childPath) const
{
    if (context().volumeTypeAt(childPath)) {
        EntryStatus status;
        status.type = EntryType::Directory;
        status.mountRoot = true;
        return status;
    }
    return statEntry(AT_FDCWD, childPath.c_str());
}

HResult FileSystemFolder::childAttributes(const IdRecord& child, SfgaoFlags asked, SfgaoFlags& result)
{
    if (child.kind != IdKind::Entry)
        return E_INVALIDARG;
    const std::string path = joinPath(path_, child.payload);
    // Only what was asked beyond the id's own flags costs a look at the entry.
    constexpr SfgaoFlags kLooked = SFGAO_VALIDATE | SFGAO_CANRENAME | SFGAO_CANMOVE | SFGAO_CANDELETE
        | SFGAO_COMPRESSED;
    std::optional<EntryStatus> status;
    if (asked & kLooked) {
        status = childStatus(path);
        if (!status && (asked & SFGAO_VALIDATE))
            return E_FILE_NOT_FOUND;
    }
    if (!status) {
        status = EntryStatus{};
        status->type = child.isDirectory() ? EntryType::Directory : EntryType::Regular;
    }
    status->isLink = (child.flags & ENTRY_SYMLINK) != 0;
    if (!mayProbe(path))
        status->compressed = false;
    const bool writable = (asked & (SFGAO_CANRENAME | SFGAO_CANMOVE | SFGAO_CANDELETE)) && isWritableFolder(path_);
    SfgaoFlags attributes = entryAttributes(child.payload, *status, writable);
    if (!child.isDirectory())
        attributes &= ~(SFGAO_FOLDER | SFGAO_DROPTARGET);
    else
        attributes |= SFGAO_FOLDER | SFGAO_DROPTARGET;
    if ((asked & SFGAO_HASSUBFOLDER) && child.isDirectory() && (!mayProbe(path) || hasSubfolder(path)))
        attributes |= SFGAO_HASSUBFOLDER;
    result = attributes & asked;
    return S_OK;
}

HResult FileSystemFolder::childDisplayName(const IdRecord& child, ShgdnFlags flags, std::string& name)
{
    if (child.kind != IdKind::Entry)
        return E_INVALIDARG;
    if (flags & SHGDN_FORPARSING)
        name = (flags & SHGDN_INFOLDER) ? std::string(child.payload) : joinPath(path_, child.payload);
    else
        name = displayTextFromBytes(child.payload);
    return S_OK;
}

HResult FileSystemFolder::renameChild(const IdRecord& child, const std::string& name, IdListPtr* newRelative)
{
    if (child.kind != IdKind::Entry)
        return E_INVALIDARG;
    if (!isValidComponent(name))
        return E_BAD_NAME;
    if (name != child.payload) {
        const std::string from = joinPath(path_, child.payload);
        if (!entryFlags(from))
            return E_FILE_NOT_FOUND;
        if (const HResult renamed = renameNoReplace(from, joinPath(path_, name)); failed(renamed))
            return renamed;
    }
    IdListPtr oldId = makeEntryRecord(child.payload, child.flags);
    IdListPtr newId = makeEntryRecord(name, child.flags);
    const IdListPtr oldAbsolute = absoluteOf(oldId.get());
    const IdListPtr newAbsolute = absoluteOf(newId.get());
    if (name != child.payload)
        reportNamespaceChange(child.isDirectory() ? SHCNE_RENAMEFOLDER : SHCNE_RENAMEITEM, oldAbsolute.get(),
                              newAbsolute.get());
    if (newRelative)
        *newRelative = std::move(newId);
    return S_OK;
}

HResult FileSystemFolder::childFindData(const IdRecord& child, FindData& data)
{
    if (child.kind != IdKind::Entry)
        return E_INVALIDARG;
    const std::string path = joinPath(path_, child.payload);
    if (context().volumeTypeAt(path)) {
        // A mount point is described without asking its volume.
        data = FindData{};
        data.fileName = std::string(child.payload);
        data.attributes = FILE_ATTRIBUTE_DIRECTORY | (child.payload.front() == '.' ? FILE_ATTRIBUTE_HIDDEN : 0);
        return S_OK;
    }
    return readFindData(path, data);
}

std::string FileSystemFolder::childIconName(const IdRecord& child, bool open)
{
    if (!child.isDirectory())
        return {};
    return open ? "folder-open" : "folder";
}

std::string FileSystemFolder::childPath(const IdRecord& child)
{
    return joinPath(path_, child.payload);
}

} // namespace dw::platform
