// SPDX-License-Identifier: MIT
#pragma once
// The context menu of trash entries: Restore (for entries whose record says
// where they came from) and Delete Permanently. Both run away from the
// window's thread, on the line of the trash's volume.

#include "platform/idlist/IdList.h"
#include "platform/namespace/ContextMenu.h"

#include <vector>

namespace dw::platform {

struct TrashMenuTarget {
    IdListPtr absolute;
    std::string entryName;
    std::string originalPath;
};

class TrashContextMenu : public IContextMenu {
public:
    static constexpr unsigned kDeleteOffset = 5; // as in the file menu
    static constexpr unsigned kRestoreOffset = 7;

    TrashContextMenu(std::string trashPath, std::vector<TrashMenuTarget> targets);

    HResult QueryContextMenu(std::vector<ContextMenuEntry>& menu, unsigned indexMenu, unsigned idCmdFirst,
                             unsigned idCmdLast, unsigned flags) override;
    HResult InvokeCommand(unsigned verbOffset, IShellUi& ui) override;
    HResult GetCommandString(unsigned verbOffset, std::string& verb) override;

private:
    bool restorable() const;
    std::string volumeKey() const;
    HResult restore(IShellUi& ui);
    HResult deleteForGood(IShellUi& ui);

    std::string trashPath_;
    std::vector<TrashMenuTarget> targets_;
};

} // namespace dw::platform
