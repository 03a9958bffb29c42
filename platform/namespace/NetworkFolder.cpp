// SPDX-License-Identifier: MIT
#include "platform/namespace/VirtualFolders.h"

#include "platform/namespace/DisplayText.h"
#include "platform/namespace/FileSystemFolder.h"
#include "platform/namespace/ListEnumerator.h"
#include "platform/namespace/NaturalOrder.h"
#include "platform/namespace/NetworkPaths.h"

#include <algorithm>

namespace dw::platform {

namespace {

std::optional<ShareNames> shareOf(const NamespaceContext& context, std::string_view mountPoint)
{
    const NamespaceContext::VolumeTable table = context.volumeTable();
    for (const Volume& volume : *table) {
        if (volume.mountPoint == mountPoint)
            return shareNamesOf(*table, volume);
    }
    return std::nullopt;
}

} // namespace

NetworkFolder::NetworkFolder(std::shared_ptr<NamespaceContext> context)
    : NamespaceFolder(std::move(context), makeRecord(IdKind::Network))
{
}

HResult NetworkFolder::ParseDisplayName(const std::string& name, IdListPtr& result)
{
    // The longest share name that `name` starts with, then the path below it.
    const auto volumes = context().volumes();
    const auto match = matchShareName(volumes, name);
    if (!match)
        return E_FILE_NOT_FOUND;
    IdListPtr below;
    if (const HResult parsed = parseComponents(match->volume->mountPoint, match->rest, below); failed(parsed))
        return parsed;
    const IdListPtr share = makeRecord(IdKind::Share, 0, match->volume->mountPoint);
    result.reset(ILCombine(share.get(), below.get()));
    return S_OK;
}

HResult NetworkFolder::EnumObjects(ShcontfFlags flags, std::unique_ptr<IEnumIdList>& result)
{
    std::vector<IdListPtr> children;
    if (flags & SHCONTF_FOLDERS) {
        for (const Volume& volume : context().volumes()) {
            if (networkShareName(volume))
                children.push_back(makeRecord(IdKind::Share, 0, volume.mountPoint));
        }
    }
    result = std::make_unique<ListEnumerator>(std::move(children));
    return S_OK;
}

HResult NetworkFolder::bindChild(const IdRecord& child, ShellFolderPtr& result)
{
    if (child.kind != IdKind::Share)
        return E_INVALIDARG;
    const IdListPtr id = makeRecord(child.kind, child.flags, child.payload);
    result = std::make_shared<FileSystemFolder>(sharedContext(), absoluteOf(id.get()), std::string(child.payload),
                                                DriveType::Remote);
    return S_OK;
}

int NetworkFolder::compareChildren(const IdRecord& first, const IdRecord& second)
{
    std::string firstName;
    std::string secondName;
    childDisplayName(first, SHGDN_NORMAL, firstName);
    childDisplayName(second, SHGDN_NORMAL, secondName);
    const int order = compareNames(firstName, secondName);
    return order != 0 ? order : compareNames(first.payload, second.payload);
}

HResult NetworkFolder::childAttributes(const IdRecord& child, SfgaoFlags asked, SfgaoFlags& result)
{
    if (child.kind != IdKind::Share)
        return E_INVALIDARG;
    if ((asked & SFGAO_VALIDATE) && !shareOf(context(), child.payload))
        return E_FILE_NOT_FOUND;
    // A share's root is a file-system folder, as is all below it. The mount
    // table alone says so: nothing here reaches the server, which may not
    // answer, and network folders are never probed for subfolders.
    result = (SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_HASSUBFOLDER | SFGAO_DROPTARGET | SFGAO_CANLINK) & asked;
    return S_OK;
}

HResult NetworkFolder::childDisplayName(const IdRecord& child, ShgdnFlags flags, std::string& name)
{
    if (child.kind != IdKind::Share)
        return E_INVALIDARG;
    const auto share = shareOf(context(), child.payload);
    if (!share) {
        name = displayTextFromBytes(child.payload);
        return S_OK;
    }
    name = (flags & SHGDN_FORPARSING) ? share->parsing : share->shown;
    return S_OK;
}

std::string NetworkFolder::childIconName(const IdRecord&, bool)
{
    return "folder-remote";
}

std::string NetworkFolder::childPath(const IdRecord& child)
{
    return std::string(child.payload);
}

} // namespace dw::platform
