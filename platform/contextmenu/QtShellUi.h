// SPDX-License-Identifier: MIT
#pragma once
// The dialogs that context-menu verbs show, as Qt widgets: message boxes,
// a name prompt, the clipboard, an application prompt and the properties
// dialog. Each is modal to the parent window. Once that window is gone
// (destroyed while a dialog was open, say) nothing more is shown: questions
// answer as if cancelled. What a dialog shows of an item (its facts, the
// programs for its type) is read away from the window's thread, through
// the runner given, before the dialog opens; when the item's disk does not
// answer, a message says so instead.

#include "platform/namespace/ContextMenu.h"

#include <QPointer>
#include <QWidget>

#include <functional>

namespace dw::platform {

// Runs work that may wait on a disk away from the window's thread (see
// IShellUi::runOffWindow).
using OffWindowRunner = std::function<OffWindowOutcome(const std::string& volumeKey, const std::function<void()>& work)>;

class QtShellUi : public IShellUi {
public:
    // Without a runner, work runs on the calling thread.
    explicit QtShellUi(QWidget* parent, OffWindowRunner runner = {});

    OffWindowOutcome runOffWindow(const std::string& volumeKey, const std::function<void()>& work) override;
    bool confirm(const std::string& title, const std::string& question) override;
    void showError(const std::string& title, const std::string& message) override;
    bool askText(const std::string& title, const std::string& label, std::string& text) override;
    void copyText(const std::string& text) override;
    bool chooseApplication(const std::string& path, std::vector<std::string>& command) override;
    void showProperties(const std::vector<std::string>& paths) override;

private:
    bool windowGone() const;

    QPointer<QWidget> parent_;
    bool hadParent_;
    OffWindowRunner runner_;
};

} // namespace dw::platform
