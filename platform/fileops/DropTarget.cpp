// SPDX-License-Identifier: MIT
#include "platform/fileops/DropTarget.h"

#include "platform/fileops/TransferProgress.h"

namespace dw::platform {

std::string DropOutcome::message() const
{
    std::string text;
    for (const std::string& sentence : notDone) {
        if (!text.empty())
            text += '\n';
        text += sentence;
    }
    return text;
}

HResult IDropTarget::Drop(const std::vector<std::string>& paths, unsigned keyState, unsigned& effect, IShellUi& ui)
{
    std::unique_ptr<IDropOperation> operation;
    const HResult prepared = PrepareDrop(paths, keyState, effect, operation);
    if (prepared != S_OK || !operation)
        return prepared;
    TransferProgress progress;
    const DropOutcome outcome = operation->Run(progress);
    if (const std::string report = outcome.message(); !report.empty())
        ui.showError(outcome.title, report);
    return outcome.result;
}

} // namespace dw::platform
