// SPDX-License-Identifier: MIT
#include "platform/namespace/LinuxShellNamespace.h"

#include "platform/fileops/ProcessLauncher.h"
#include "platform/namespace/IdRecord.h"
#include "platform/namespace/KnownFolderLocations.h"
#include "platform/namespace/NetworkPaths.h"
#include "platform/namespace/VirtualFolders.h"

namespace dw::platform {

LinuxShellNamespace::LinuxShellNamespace() : LinuxShellNamespace(NamespaceEnvironment::fromSystem()) {}

LinuxShellNamespace::LinuxShellNamespace(NamespaceEnvironment environment)
    : context_(std::make_shared<NamespaceContext>(std::move(environment))),
      desktop_(std::make_shared<DesktopFolder>(context_))
{
}

ShellFolderPtr LinuxShellNamespace::desktopFolder()
{
    return desktop_;
}

HResult LinuxShellNamespace::specialFolderLocation(int csidl, IdListPtr& result)
{
    const SpecialFolder folder = specialFolderFor(csidl);
    switch (folder.kind) {
    case SpecialFolderKind::Desktop:
        result = emptyIdList();
        return S_OK;
    case SpecialFolderKind::Computer:
        result = makeRecord(IdKind::Computer);
        return S_OK;
    case SpecialFolderKind::Network:
        result = makeRecord(IdKind::Network);
        return S_OK;
    case SpecialFolderKind::Trash:
        result = makeRecord(IdKind::Trash);
        return S_OK;
    case SpecialFolderKind::Path:
        return desktop_->ParseDisplayName(folder.path, result);
    case SpecialFolderKind::Unavailable:
        break;
    }
    return E_NOTIMPL;
}

DriveType LinuxShellNamespace::driveTypeOf(const ItemIdList* absolute)
{
    std::string path;
    if (failed(desktop_->GetDisplayNameOf(absolute, SHGDN_FORPARSING, path)) || path.empty() || path.front() != '/'
        || path.rfind("//", 0) == 0 || ILIdSize(absolute) == 0)
        return DriveType::NoRootDir;
    const auto first = readRecord(absolute);
    if (first && first->kind == IdKind::Network)
        return DriveType::Remote;
    return context_->driveTypeOfPath(path);
}

std::string LinuxShellNamespace::volumeKeyOf(const ItemIdList* absolute)
{
    std::string path;
    if (failed(desktop_->GetDisplayNameOf(absolute, SHGDN_FORPARSING, path)))
        return {};
    return volumeKeyOfParsingName(path);
}

std::string LinuxShellNamespace::volumeKeyOfParsingName(const std::string& name)
{
    const NamespaceContext::VolumeTable table = context_->volumeTable();
    if (name.rfind("//", 0) == 0) {
        // A share's line is its mount's, however the share was reached.
        if (const auto match = matchShareName(*table, name))
            return match->volume->mountPoint;
        const std::size_t shareEnd = name.find('/', name.find('/', 2) + 1);
        return name.substr(0, shareEnd);
    }
    if (name.empty() || name.front() != '/')
        return {};
    const Volume* volume = volumeForPath(*table, name);
    return volume ? volume->mountPoint : std::string();
}

std::optional<DriveType> LinuxShellNamespace::volumeDriveType(const ItemIdList* absolute)
{
    if (ILCount(absolute) != 2)
        return std::nullopt;
    const auto last = readRecord(ILFindLastID(absolute));
    if (last && last->kind == IdKind::Volume)
        return static_cast<DriveType>(last->flags);
    if (last && last->kind == IdKind::Share)
        return DriveType::Remote;
    return std::nullopt;
}

std::optional<std::string> LinuxShellNamespace::localPathOf(const std::string& parsingName)
{
    return localPathOfParsingName(*context_->volumeTable(), parsingName);
}

bool LinuxShellNamespace::executeDefaultVerb(const ItemIdList* absolute)
{
    std::string path;
    if (failed(desktop_->GetDisplayNameOf(absolute, SHGDN_FORPARSING, path)) || path.empty())
        return false;
    const auto first = readRecord(absolute);
    if (first && first->kind == IdKind::Network && ILIdSize(ILGetNext(absolute)) != 0 && ILIdSize(ILGetNext(ILGetNext(absolute))) == 0) {
        // A share's parsing name is not a path: open its mount point.
        path = std::string(readRecord(ILGetNext(absolute))->payload);
    }
    return openWithDefaultApplication(path);
}

} // namespace dw::platform
