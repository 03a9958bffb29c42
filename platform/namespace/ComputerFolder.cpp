// SPDX-License-Identifier: MIT
#include "platform/namespace/VirtualFolders.h"

#include "platform/namespace/DisplayText.h"
#include "platform/namespace/FileSystemAccess.h"
#include "platform/namespace/FileSystemFolder.h"
#include "platform/namespace/ListEnumerator.h"
#include "platform/namespace/NaturalOrder.h"

#include <algorithm>

namespace dw::platform {

namespace {

DriveType driveTypeOf(const IdRecord& volume)
{
    return static_cast<DriveType>(volume.flags);
}

bool isSlowDrive(DriveType type)
{
    return type == DriveType::Removable || type == DriveType::CdRom || type == DriveType::Remote;
}

} // namespace

ComputerFolder::ComputerFolder(std::shared_ptr<NamespaceContext> context)
    : NamespaceFolder(std::move(context), makeRecord(IdKind::Computer))
{
}

HResult ComputerFolder::ParseDisplayName(const std::string& name, IdListPtr& result)
{
    const auto volumes = context().volumes();
    const auto found = std::find_if(volumes.begin(), volumes.end(),
                                    [&](const Volume& volume) { return volume.mountPoint == name; });
    if (found == volumes.end())
        return E_FILE_NOT_FOUND;
    result = makeRecord(IdKind::Volume, static_cast<std::uint8_t>(found->driveType), found->mountPoint);
    return S_OK;
}

HResult ComputerFolder::EnumObjects(ShcontfFlags flags, std::unique_ptr<IEnumIdList>& result)
{
    std::vector<IdListPtr> children;
    if (flags & SHCONTF_FOLDERS) {
        for (const Volume& volume : context().volumes())
            children.push_back(makeRecord(IdKind::Volume, static_cast<std::uint8_t>(volume.driveType),
                                          volume.mountPoint));
    }
    result = std::make_unique<ListEnumerator>(std::move(children));
    return S_OK;
}

HResult ComputerFolder::bindChild(const IdRecord& child, ShellFolderPtr& result)
{
    if (child.kind != IdKind::Volume)
        return E_INVALIDARG;
    const IdListPtr id = makeRecord(child.kind, child.flags, child.payload);
    result = std::make_shared<FileSystemFolder>(sharedContext(), absoluteOf(id.get()), std::string(child.payload),
                                                driveTypeOf(child));
    return S_OK;
}

int ComputerFolder::compareChildren(const IdRecord& first, const IdRecord& second)
{
    if ((first.payload == "/") != (second.payload == "/"))
        return first.payload == "/" ? -1 : 1;
    return compareNames(first.payload, second.payload);
}

HResult ComputerFolder::childAttributes(const IdRecord& child, SfgaoFlags asked, SfgaoFlags& result)
{
    if (child.kind != IdKind::Volume)
        return E_INVALIDARG;
    const std::string mountPoint(child.payload);
    if ((asked & SFGAO_VALIDATE) && !entryFlags(mountPoint))
        return E_FILE_NOT_FOUND;
    SfgaoFlags attributes = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_DROPTARGET | SFGAO_HASPROPSHEET | SFGAO_CANLINK;
    if (driveTypeOf(child) == DriveType::Removable || driveTypeOf(child) == DriveType::CdRom)
        attributes |= SFGAO_REMOVABLE;
    if ((asked & SFGAO_HASSUBFOLDER) && (isSlowDrive(driveTypeOf(child)) || hasSubfolder(mountPoint)))
        attributes |= SFGAO_HASSUBFOLDER;
    if ((asked & SFGAO_COMPRESSED) && !isSlowDrive(driveTypeOf(child)) && isCompressed(mountPoint))
        attributes |= SFGAO_COMPRESSED;
    result = attributes & asked;
    return S_OK;
}

HResult ComputerFolder::childDisplayName(const IdRecord& child, ShgdnFlags flags, std::string& name)
{
    if (child.kind != IdKind::Volume)
        return E_INVALIDARG;
    const std::string mountPoint(child.payload);
    if (flags & SHGDN_FORPARSING) {
        name = mountPoint;
        return S_OK;
    }
    const std::string label = isSlowDrive(driveTypeOf(child)) && driveTypeOf(child) != DriveType::Removable
        ? std::string()
        : volumeLabel(mountPoint);
    name = label.empty() ? displayTextFromBytes(mountPoint) : label;
    return S_OK;
}

HResult ComputerFolder::childFindData(const IdRecord& child, FindData& data)
{
    return child.kind == IdKind::Volume ? readFindData(std::string(child.payload), data) : E_INVALIDARG;
}

std::string ComputerFolder::childIconName(const IdRecord& child, bool)
{
    switch (driveTypeOf(child)) {
    case DriveType::Removable:
        return "drive-removable-media";
    case DriveType::CdRom:
        return "drive-optical";
    case DriveType::Remote:
        return "folder-remote";
    default:
        return "drive-harddisk";
    }
}

std::string ComputerFolder::childPath(const IdRecord& child)
{
    return std::string(child.payload);
}

} // namespace dw::platform
