// SPDX-License-Identifier: MIT
#pragma once
// The context-menu interface of namespace items. A menu object is made by a
// folder's GetUIObjectOf for one or more of its children; it lists its verbs
// as plain entries (the controller turns them into a real popup menu) and
// runs the one the user picked. Everything a verb needs from the user
// (confirmation, a name, a message) goes through IShellUi, so verbs run the
// same in the window and in tests; so does everything that may wait on a
// disk, which IShellUi runs away from the window's thread.

#include "platform/namespace/ShellTypes.h"

#include <functional>
#include <string>
#include <vector>

namespace dw::platform {

// QueryContextMenu flags.
constexpr unsigned CMF_NORMAL = 0x0000;
constexpr unsigned CMF_DEFAULTONLY = 0x0001;
constexpr unsigned CMF_EXPLORE = 0x0004;
constexpr unsigned CMF_CANRENAME = 0x0010;
constexpr unsigned CMF_EXTENDEDVERBS = 0x0080;

struct ContextMenuEntry {
    unsigned command = 0; // 0 for a separator
    std::string text;     // with "&" before the access key
    std::string verb;     // language-neutral name, e.g. "open", "rename"
    bool isDefault = false;
    bool enabled = true;
    bool separator() const { return command == 0; }
};

// How work handed to IShellUi::runOffWindow ended.
enum class OffWindowOutcome {
    Done,         // it ran to its end
    NotBegun,     // its disk did not answer in time, and it was dropped before it began: nothing was done
    StillRunning, // its disk stopped answering while it ran: it may still end, and do its work, later
};

// What a verb may ask of the person in front of the screen.
class IShellUi {
public:
    virtual ~IShellUi() = default;
    // Runs `work`, which may wait on a disk, where it cannot hold up the
    // window (on the line of the volume `volumeKey` names, see
    // IShellNamespace::volumeKeyOf), and answers once it has ended, or once
    // its disk has not answered for too long; the window keeps drawing
    // meanwhile. `work` must own everything it uses: given up on, it may
    // still run to its end later. This default runs it here and now.
    virtual OffWindowOutcome runOffWindow(const std::string& volumeKey, const std::function<void()>& work);
    virtual bool confirm(const std::string& title, const std::string& question) = 0;
    virtual void showError(const std::string& title, const std::string& message) = 0;
    // Asks for a text; false when the user cancels.
    virtual bool askText(const std::string& title, const std::string& label, std::string& text) = 0;
    virtual void copyText(const std::string& text) = 0;
    // Lets the user pick an application for a file; on success `command`
    // is the whole argument vector that opens it. False when cancelled.
    virtual bool chooseApplication(const std::string& path, std::vector<std::string>& command) = 0;
    virtual void showProperties(const std::vector<std::string>& paths) = 0;
};

inline OffWindowOutcome IShellUi::runOffWindow(const std::string&, const std::function<void()>& work)
{
    work();
    return OffWindowOutcome::Done;
}

class IContextMenu {
public:
    virtual ~IContextMenu() = default;
    // Adds the menu's entries to `menu` at `indexMenu`, numbering commands
    // from `idCmdFirst` to at most `idCmdLast`; each entry's command is
    // idCmdFirst + its verb offset. Answers the count of offsets used.
    virtual HResult QueryContextMenu(std::vector<ContextMenuEntry>& menu, unsigned indexMenu,
                                     unsigned idCmdFirst, unsigned idCmdLast, unsigned flags) = 0;
    // Runs the verb at `verbOffset` (command - idCmdFirst).
    virtual HResult InvokeCommand(unsigned verbOffset, IShellUi& ui) = 0;
    virtual HResult GetCommandString(unsigned verbOffset, std::string& verb) = 0;
};

} // namespace dw::platform
