#include "platform/changes/source/ChangedItemLists.h"

#include "platform/changes/filewatch/PathChange.h"
#include "platform/namespace/IdRecord.h"
#include "platform/namespace/ShellNamespace.h"

#include <vector>

namespace dw::platform {

IdListPtr changedPathIdList(const std::string& path, bool isFolder)
{
    if (IdListPtr parsed = parsingNameToIdList(path))
        return parsed;
    // Climb to the nearest ancestor that still exists, remembering the names.
    std::vector<std::string> missing;
    std::string ancestor = path;
    IdListPtr list;
    while (!list) {
        const std::string parent = parentPath(ancestor);
        if (parent.empty())
            return nullptr;
        missing.push_back(ancestor.substr(parent == "/" ? 1 : parent.size() + 1));
        ancestor = parent;
        list = parsingNameToIdList(ancestor);
    }
    for (auto name = missing.rbegin(); name != missing.rend(); ++name) {
        const bool last = std::next(name) == missing.rend();
        IdListPtr id = makeEntryRecord(*name, !last || isFolder ? ENTRY_DIRECTORY : 0);
        if (!id)
            return nullptr;
        list.reset(ILCombine(list.get(), id.get()));
    }
    return list;
}

IdListPtr volumeIdList(const std::string& mountPoint, DriveType driveType)
{
    IdListPtr computer = makeRecord(IdKind::Computer);
    IdListPtr volume = makeRecord(IdKind::Volume, static_cast<std::uint8_t>(driveType), mountPoint);
    return IdListPtr(ILCombine(computer.get(), volume.get()));
}

} // namespace dw::platform
