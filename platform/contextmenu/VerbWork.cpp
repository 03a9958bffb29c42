// SPDX-License-Identifier: MIT
#include "platform/contextmenu/VerbWork.h"

#include "platform/namespace/ShellNamespace.h"

namespace dw::platform {

HResult runVerbWork(IShellUi& ui, const std::string& volumeKey, std::function<HResult()> operation)
{
    auto result = std::make_shared<HResult>(E_FAIL);
    switch (ui.runOffWindow(volumeKey, [result, operation = std::move(operation)] { *result = operation(); })) {
    case OffWindowOutcome::Done:
        return *result;
    case OffWindowOutcome::NotBegun:
        return E_NO_ANSWER;
    case OffWindowOutcome::StillRunning:
        break;
    }
    return E_ANSWER_PENDING;
}

std::string volumeKeyOfItem(const ItemIdList* absolute)
{
    return currentShellNamespace().volumeKeyOf(absolute);
}

SharedItem shareItem(const ItemIdList* absolute)
{
    return SharedItem(ILClone(absolute), IdListDeleter());
}

} // namespace dw::platform
