#pragma once
// What a folder does with items dropped on it. The folder tree forwards the
// drag's enter, over, leave and drop to the drop target of the folder under
// the cursor; the target says which effect the drop would have and carries
// it out. Dropped items are file-system paths (exact bytes).

#include "platform/namespace/ContextMenu.h"
#include "platform/namespace/ShellTypes.h"

#include <string>
#include <vector>

namespace dw::platform {

constexpr unsigned DROPEFFECT_NONE = 0;
constexpr unsigned DROPEFFECT_COPY = 1;
constexpr unsigned DROPEFFECT_MOVE = 2;
constexpr unsigned DROPEFFECT_LINK = 4;

// Key state of a drag.
constexpr unsigned MK_LBUTTON = 0x01;
constexpr unsigned MK_SHIFT = 0x04;
constexpr unsigned MK_CONTROL = 0x08;
constexpr unsigned MK_ALT = 0x20;

class IDropTarget {
public:
    virtual ~IDropTarget() = default;
    // `effect` comes in as the effects the source allows and goes out as the
    // one a drop would have now (DROPEFFECT_NONE: it would be refused).
    virtual HResult DragEnter(const std::vector<std::string>& paths, unsigned keyState, unsigned& effect) = 0;
    virtual HResult DragOver(unsigned keyState, unsigned& effect) = 0;
    virtual HResult DragLeave() = 0;
    // Carries the drop out; failures are told through `ui`, and what could
    // not be copied or moved stays where it was.
    virtual HResult Drop(const std::vector<std::string>& paths, unsigned keyState, unsigned& effect,
                         IShellUi& ui) = 0;
};

} // namespace dw::platform
