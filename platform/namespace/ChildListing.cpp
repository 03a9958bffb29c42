// SPDX-License-Identifier: MIT
#include "platform/namespace/ShellFolder.h"

#include <vector>

namespace dw::platform {

namespace {

bool isSlowDrive(DriveType type)
{
    return type == DriveType::Removable || type == DriveType::NoRootDir || type == DriveType::CdRom
        || type == DriveType::Remote;
}

EntryType typeFromAttributes(SfgaoFlags attributes)
{
    if (attributes & SFGAO_FOLDER)
        return EntryType::Directory;
    return (attributes & SFGAO_FILESYSTEM) ? EntryType::Regular : EntryType::Virtual;
}

// A tree's expand button, decided as the tree decides it when it is given
// only the folder calls: without looking on slow drives, else by whether the
// child opens as a folder.
void decideChildren(IShellFolder& folder, const ListingOptions& options, ChildFacts& child, SfgaoFlags attributes)
{
    const bool hasSubfolders = (attributes & SFGAO_HASSUBFOLDER) != 0;
    if (hasSubfolders && options.driveTypeOf) {
        const IdListPtr absolute(ILCombine(folder.AbsoluteIdList(), child.relative.get()));
        if (isSlowDrive(options.driveTypeOf(absolute.get()))) {
            child.hasChildren = true;
            return;
        }
    }
    const bool showsFiles = (options.flags & SHCONTF_NONFOLDERS) && (attributes & SFGAO_FOLDER);
    if (!hasSubfolders && !showsFiles)
        return;
    ShellFolderPtr bound;
    std::unique_ptr<IEnumIdList> enumerator;
    child.hasChildren = succeeded(folder.BindToObject(child.relative.get(), bound)) && bound
        && succeeded(bound->EnumObjects(SHCONTF_FOLDERS, enumerator)) && enumerator;
}

void readFileFacts(IShellFolder& folder, ChildFacts& child)
{
    FindData data;
    if (failed(folder.GetFindData(child.relative.get(), data)))
        return;
    const bool directory = (data.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    child.file = ChildFileFacts{directory ? 0 : data.size, data.lastWriteSeconds, data.lastWriteNanoseconds,
                                data.attributes};
}

} // namespace

ListingOutcome IShellFolder::ListChildren(const ListingOptions& options, const ChildSink& sink)
{
    std::unique_ptr<IEnumIdList> enumerator;
    if (const HResult opened = EnumObjects(options.flags, enumerator); failed(opened) || !enumerator)
        return {failed(opened) ? opened : E_FAIL, 0};
    SfgaoFlags asked = options.attributes | kKindAttributes;
    if (options.probeChildren)
        asked |= SFGAO_HASSUBFOLDER;
    IdListPtr id;
    std::size_t probed = 0;
    while (!options.isCancelled() && enumerator->Next(id) == S_OK && id) {
        ChildFacts child;
        child.relative = std::move(id);
        SfgaoFlags attributes = asked;
        if (failed(GetAttributesOf({child.relative.get()}, attributes)))
            attributes = 0;
        child.attributes = attributes & (options.attributes | kKindAttributes);
        child.type = typeFromAttributes(attributes);
        GetDisplayNameOf(child.relative.get(), SHGDN_NORMAL, child.displayName);
        GetDisplayNameOf(child.relative.get(), SHGDN_FORPARSING, child.parsingName);
        if (options.fileFacts && (attributes & SFGAO_FILESYSTEM))
            readFileFacts(*this, child);
        if (options.probeChildren && probed < options.probeLimit) {
            ++probed;
            decideChildren(*this, options, child, attributes);
        } else if (options.probeChildren) {
            child.hasChildren = (attributes & SFGAO_FOLDER) != 0;
        }
        if (!sink(std::move(child)))
            break;
    }
    return {};
}

} // namespace dw::platform
