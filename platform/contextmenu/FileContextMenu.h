// SPDX-License-Identifier: MIT
#pragma once
// The context menu of items of the Linux namespace. Verb offsets are fixed
// so that commands keep their numbers whatever the menu shows; with command
// ids starting at 1, Rename is command 19. The menu offers only the verbs
// that can work for its items: a virtual folder (Computer, Network, Trash)
// has no path to open, a volume cannot be renamed or trashed, a folder that
// may not be written takes no new folder. What may wait on a disk runs
// through IShellUi::runOffWindow.

#include "platform/idlist/IdList.h"
#include "platform/namespace/ContextMenu.h"

#include <vector>

namespace dw::platform {

enum class MenuVerb : unsigned {
    Open = 0,
    OpenWith = 1,
    NewFolder = 2,
    CopyLocation = 3,
    MoveToTrash = 4,
    DeletePermanently = 5,
    Properties = 6,
    Rename = 18,
};
constexpr unsigned MENU_VERB_COUNT = 19;

struct MenuTarget {
    IdListPtr absolute;
    std::string path; // empty for virtual items
    SfgaoFlags attributes = 0;
    std::string name; // as shown, for messages
    bool takesNewEntries = false; // a folder this user may make entries in
};

class FileContextMenu : public IContextMenu {
public:
    explicit FileContextMenu(std::vector<MenuTarget> targets);

    HResult QueryContextMenu(std::vector<ContextMenuEntry>& menu, unsigned indexMenu, unsigned idCmdFirst,
                             unsigned idCmdLast, unsigned flags) override;
    // Rename does nothing here: the control that showed the menu edits the
    // name in place and calls SetNameOf.
    HResult InvokeCommand(unsigned verbOffset, IShellUi& ui) override;
    HResult GetCommandString(unsigned verbOffset, std::string& verb) override;

private:
    // Whether `verb` can work for the menu's items.
    bool works(MenuVerb verb) const;
    bool allFileSystem() const;
    bool allHave(SfgaoFlags attribute) const;
    bool singleFolder() const;
    HResult open(IShellUi& ui);
    HResult openWith(IShellUi& ui);
    HResult newFolder(IShellUi& ui);
    HResult copyLocation(IShellUi& ui);
    HResult trash(IShellUi& ui);
    HResult deletePermanently(IShellUi& ui);
    HResult properties(IShellUi& ui);

    std::vector<MenuTarget> targets_;
};

} // namespace dw::platform
